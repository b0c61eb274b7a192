// The library reader on arbitrary bytes written as one of the library files; the build names the
// file (LUMIVALE_FUZZ_FILE), one target per file.

#include "fuzzlibrary.h"

#ifndef LUMIVALE_FUZZ_FILE
#error "LUMIVALE_FUZZ_FILE names the library file the input is written as"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzLibrary::instance().readLibraryFile(QStringLiteral(LUMIVALE_FUZZ_FILE), data, size);
    return 0;
}
