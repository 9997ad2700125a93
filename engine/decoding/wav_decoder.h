// The RIFF WAVE decoder: integer PCM of 8, 16, 24 and 32 bits and 32-bit
// float, 1 to 8 channels, any rate, plain or WAVE_FORMAT_EXTENSIBLE. It
// states its exact length and seeks to any frame at once. What it refuses
// (RF64, A-law, 64-bit floats and the like) goes on to FFmpeg.
#ifndef TONQUIL_ENGINE_DECODING_WAV_DECODER_H
#define TONQUIL_ENGINE_DECODING_WAV_DECODER_H

#include "engine/bass.h"

BOOL CALLBACK OpenWavDecoder(const TQSOURCE *source, TQDECODER *decoder);

#endif
