// The Ogg Vorbis decoder: stb_vorbis fed from the source a block at a time,
// cut at the exact length that the last page's granule position states.
#ifndef TONQUIL_ENGINE_VORBIS_DECODER_H
#define TONQUIL_ENGINE_VORBIS_DECODER_H

#include "engine/bass.h"

BOOL CALLBACK OpenVorbisDecoder(const TQSOURCE *source, TQDECODER *decoder);

#endif
