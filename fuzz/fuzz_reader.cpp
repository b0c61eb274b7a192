// One of the reader checks (readerchecks.h) on arbitrary bytes; the build names the check
// (LUMIVALE_FUZZ_CHECK), one target per reader.

#include "fuzzfiles.h"
#include "readerchecks.h"

#ifndef LUMIVALE_FUZZ_CHECK
#error "LUMIVALE_FUZZ_CHECK names the check the input is run through"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString found = LUMIVALE_FUZZ_CHECK(fuzzBytes(data, size));
    if (!found.isEmpty())
        fuzzFinding(qPrintable(found));
    return 0;
}
