// Turns decoded float frames into what the output plays: mixed down to one
// channel when asked, scaled by volume and pan, as 16-bit integers or floats.
#ifndef TONQUIL_ENGINE_OUTPUT_SAMPLE_FORMAT_H
#define TONQUIL_ENGINE_OUTPUT_SAMPLE_FORMAT_H

#include <windows.h>

// Replaces the first frames samples with the mean of each frame's channels.
void MixToMono(float *samples, DWORD frames, DWORD channels);
// The gain of each channel for volume 0..100 and pan -100 (left) .. 100 (right);
// pan moves only two-channel sound.
void ChannelGains(int volume, int pan, DWORD channels, float *gains);
// Writes frames of channels samples, each times its channel's gain, as 32-bit
// floats or as 16-bit integers rounded to the nearest and clipped.
void PackSamples(const float *samples, DWORD frames, DWORD channels, const float *gains,
                 bool asFloat, void *out);

#endif
