#include "engine/output/sample_format.h"

#include <math.h>
#include <string.h>

void MixToMono(float *samples, DWORD frames, DWORD channels) {
    for (DWORD frame = 0; frame < frames; ++frame) {
        float sum = 0;
        for (DWORD channel = 0; channel < channels; ++channel)
            sum += samples[frame * channels + channel];
        samples[frame] = sum / channels;
    }
}

void ChannelGains(int volume, int pan, DWORD channels, float *gains) {
    float level = volume / 100.0f;
    for (DWORD channel = 0; channel < channels; ++channel)
        gains[channel] = level;
    if (channels == 2) {
        gains[0] = pan > 0 ? level * (100 - pan) / 100.0f : level;
        gains[1] = pan < 0 ? level * (100 + pan) / 100.0f : level;
    }
}

void PackSamples(const float *samples, DWORD frames, DWORD channels, const float *gains,
                 bool asFloat, void *out) {
    DWORD count = frames * channels;
    if (asFloat) {
        float *to = (float *)out;
        for (DWORD i = 0; i < count; ++i) {
            float value = samples[i] * gains[i % channels];
            to[i] = value == value ? value : 0.0f; // NaN from a damaged file: silence
        }
        return;
    }
    short *to = (short *)out;
    for (DWORD i = 0; i < count; ++i) {
        float value = samples[i] * gains[i % channels] * 32768.0f;
        // Written so that NaN from a damaged float file becomes silence.
        if (!(value > -32768.0f))
            value = value <= -32768.0f ? -32768.0f : 0.0f;
        if (value > 32767.0f)
            value = 32767.0f;
        to[i] = (short)lrintf(value);
    }
}
