// A DLL's export names read from the file without loading it: every name the
// engine looks for, in a file of any shape.
#include "engine/plugins/pe_exports.h"

#include <stdint.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ShimPutFile(L"plugin.dll", data, size);
    for (const char *name : {"TonquilDecoderOpen", "TonquilDecoderOpen2", "BASS_Init", ""})
        DllExportsName(L"plugin.dll", name);
    return 0;
}
