// The Scenery.cfg reader on arbitrary bytes written as the simulator's Scenery.cfg.

#include "fuzzlibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzLibrary::instance().readSceneryCfg(data, size);
    return 0;
}
