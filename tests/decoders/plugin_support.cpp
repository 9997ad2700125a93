#include "plugin_support.h"

#include "test_support.h"

BOOL CALLBACK OpenThroughPlugin(const TQSOURCE *source, TQDECODER *decoder) {
    static HMODULE module = LoadLibraryW((BinFolder() + L"bass_formats.dll").c_str());
    static TQDECODEROPEN2 open =
        module ? (TQDECODEROPEN2)(void *)GetProcAddress(module, TQ_DECODER_OPEN2_EXPORT) : NULL;
    return open && open(source, decoder, sizeof *decoder);
}
