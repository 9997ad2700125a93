// Tonquil's decoder plug-in: the formats the engine leaves to plug-ins. TTA
// has a decoder of its own here; WMA, FLAC, MP4/AAC and ADTS AAC go through
// the system's Media Foundation.
#include "decoders/mf_decoder.h"
#include "decoders/tta_decoder.h"

#include <string.h>

namespace {

const TQDECODEROPEN Decoders[] = {OpenTtaDecoder, OpenMfDecoder};

// Every decoder here fills a decoder of this version; the engine gets the
// part of it that it knows.
BOOL OpenAny(const TQSOURCE *source, TQDECODER *decoder, DWORD decoderSize) {
    for (TQDECODEROPEN open : Decoders) {
        TQDECODER full = {};
        if (open(source, &full)) {
            memcpy(decoder, &full, decoderSize < sizeof full ? decoderSize : sizeof full);
            return TRUE;
        }
    }
    return FALSE;
}

} // namespace

extern "C" BOOL CALLBACK TonquilDecoderOpen(const TQSOURCE *source, TQDECODER *decoder) {
    return OpenAny(source, decoder, TQ_DECODER_SIZE_V1);
}

extern "C" BOOL CALLBACK TonquilDecoderOpen2(const TQSOURCE *source, TQDECODER *decoder,
                                             DWORD decoderSize) {
    return decoderSize >= TQ_DECODER_SIZE_V1 && OpenAny(source, decoder, decoderSize);
}
