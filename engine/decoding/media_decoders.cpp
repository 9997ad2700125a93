#include "engine/decoding/media_decoders.h"

#include "media/media_decoder.h"

BOOL CALLBACK OpenEngineMediaDecoder(const TQSOURCE *source, TQDECODER *decoder) {
    return OpenMediaDecoder(source, MEDIA_ENGINE, decoder);
}
