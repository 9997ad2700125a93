// ReplayGain: the factor a stream's samples are scaled by, from the values
// its decoder read from the file's tags and the mode the player chose.
#ifndef TONQUIL_ENGINE_STREAMS_REPLAY_GAIN_H
#define TONQUIL_ENGINE_STREAMS_REPLAY_GAIN_H

#include "engine/bass.h"

// 1 with the mode off or without a usable gain. Album mode takes the album's
// gain where there is one and the track's otherwise. The factor is
// 10^(gain/20), no more than 1/peak where a peak is stated, so the gain never
// makes a sample clip, and no more than 1 where none is. Gains that are not
// finite or beyond 60 dB either way, and peaks that are not finite, not above
// 0 or above 1000, count as absent.
float ReplayGainFactor(const TQDECODER *decoder, DWORD mode);

#endif
