// Tonquil's decoder plug-in: every kind the engine leaves to plug-ins (Monkey's
// Audio, WavPack, TTA, TAK, FLAC, WMA, AAC and ALAC in MP4, ADTS AAC, Ogg
// Opus), through FFmpeg. It refuses the kinds the engine reads by itself.
#include "media/media_decoder.h"

#include <string.h>

namespace {

// The engine gets the part of the decoder that it knows.
BOOL OpenAny(const TQSOURCE *source, TQDECODER *decoder, DWORD decoderSize) {
    TQDECODER full = {};
    if (!OpenMediaDecoder(source, MEDIA_PLUGIN, &full))
        return FALSE;
    memcpy(decoder, &full, decoderSize < sizeof full ? decoderSize : sizeof full);
    return TRUE;
}

} // namespace

extern "C" BOOL CALLBACK TonquilDecoderOpen(const TQSOURCE *source, TQDECODER *decoder) {
    return OpenAny(source, decoder, TQ_DECODER_SIZE_V1);
}

extern "C" BOOL CALLBACK TonquilDecoderOpen2(const TQSOURCE *source, TQDECODER *decoder,
                                             DWORD decoderSize) {
    return decoderSize >= TQ_DECODER_SIZE_V1 && OpenAny(source, decoder, decoderSize);
}
