// Tonquil's decoders over FFmpeg, as the engine's decoder interface: the
// engine opens the kinds it reads by itself, the decoder plug-in the rest.
#ifndef TONQUIL_MEDIA_MEDIA_DECODER_H
#define TONQUIL_MEDIA_MEDIA_DECODER_H

#include "media/media_kinds.h"

#include "tonquil_decoder_plugin.h"

// Fills every field of version 3 when source holds a kind of side; false,
// with decoder untouched, otherwise.
bool OpenMediaDecoder(const TQSOURCE *source, MediaSide side, TQDECODER *decoder);

#endif
