// The MPEG audio decoder (layers 1 to 3 in .mp1/.mp2/.mp3 files): finds the
// frames itself and has the system's Audio Compression Manager decode them.
#ifndef TONQUIL_ENGINE_MPEG_DECODER_H
#define TONQUIL_ENGINE_MPEG_DECODER_H

#include "engine/bass.h"

BOOL CALLBACK OpenMpegDecoder(const TQSOURCE *source, TQDECODER *decoder);

#endif
