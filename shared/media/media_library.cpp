#include "media/media_library.h"

#include "media/media_decoder.h"

#include <string.h>

extern "C" BOOL CALLBACK TonquilMediaOpen(const TQSOURCE *source, DWORD side, TQDECODER *decoder,
                                          DWORD decoderSize) {
    if (!source || !decoder || decoderSize < TQ_DECODER_SIZE_V1 ||
        (side != MEDIA_ENGINE && side != MEDIA_PLUGIN))
        return FALSE;
    // The caller gets the part of the decoder that it knows.
    TQDECODER full = {};
    if (!OpenMediaDecoder(source, (MediaSide)side, &full))
        return FALSE;
    memcpy(decoder, &full, decoderSize < sizeof full ? decoderSize : sizeof full);
    return TRUE;
}
