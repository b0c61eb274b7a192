// A damaged file read and then saved, where a partly read library once broke every later save:
// the input as one library file (LUMIVALE_FUZZ_FILE) or, when the build names none, as the
// simulator's Scenery.cfg read into an empty library.

#include "fuzzlibrary.h"

#ifndef LUMIVALE_FUZZ_FILE
#error "LUMIVALE_FUZZ_FILE names the file the input is written as (\"\" for the Scenery.cfg)"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzLibrary::instance().readThenSave(QStringLiteral(LUMIVALE_FUZZ_FILE), data, size);
    return 0;
}
