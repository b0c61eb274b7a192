// One of the reader checks (readerchecks.h) on arbitrary bytes; the build names the check
// (LUMIVALE_FUZZ_CHECK), one target per reader.

#include "fuzzfiles.h"
#include "readerchecks.h"

#include <cstdio>

#ifndef LUMIVALE_FUZZ_CHECK
#error "LUMIVALE_FUZZ_CHECK names the check the input is run through"
#endif

// Qt's own warnings on what the input holds ("Broken filename passed to function" for a NUL in a
// path) would fill the log; a finding is told by the check.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString found = LUMIVALE_FUZZ_CHECK(fuzzBytes(data, size));
    if (!found.isEmpty())
        fuzzFinding(qPrintable(found));
    return 0;
}
