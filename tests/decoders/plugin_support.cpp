#include "plugin_support.h"

#include "test_support.h"

BOOL CALLBACK OpenThroughPlugin(const TQSOURCE *source, TQDECODER *decoder) {
    static HMODULE module = LoadLibraryExW((BinFolder() + L"bass_formats.dll").c_str(), NULL,
                                           LOAD_WITH_ALTERED_SEARCH_PATH);
    static TQDECODEROPEN2 open =
        module ? (TQDECODEROPEN2)(void *)GetProcAddress(module, TQ_DECODER_OPEN2_EXPORT) : NULL;
    return open && open(source, decoder, sizeof *decoder);
}
