// Tonquil's decoder plug-in: every kind the engine leaves to plug-ins (Monkey's
// Audio, WavPack, TTA, TAK, FLAC, WMA, AAC and ALAC in MP4, ADTS AAC, Ogg
// Opus), through the FFmpeg decoders of tonquil_media.dll, which the engine
// uses too. It refuses the kinds the engine reads by itself.
#include "media/media_library.h"

extern "C" BOOL CALLBACK TonquilDecoderOpen(const TQSOURCE *source, TQDECODER *decoder) {
    return TonquilMediaOpen(source, MEDIA_PLUGIN, decoder, TQ_DECODER_SIZE_V1);
}

extern "C" BOOL CALLBACK TonquilDecoderOpen2(const TQSOURCE *source, TQDECODER *decoder,
                                             DWORD decoderSize) {
    return TonquilMediaOpen(source, MEDIA_PLUGIN, decoder, decoderSize);
}
