// The test plug-in's file format: a header that describes a square wave, so
// a test knows every sample the plug-in decodes from it.
//   "TQTONE\r\n", then little-endian DWORDs rate, channels, frames, period
//   (frames per cycle) and a WORD amplitude (16-bit full scale).
// Frame i of channel c is +amplitude/(c+1) in the first half of each period
// and -amplitude/(c+1) in the second, as 16-bit integers.
#ifndef TONQUIL_TESTS_TONE_FORMAT_H
#define TONQUIL_TESTS_TONE_FORMAT_H

#include <windows.h>

#define TONE_MAGIC "TQTONE\r\n"
#define TONE_MAGIC_SIZE 8
#define TONE_HEADER_SIZE (TONE_MAGIC_SIZE + 4 * 4 + 2)

struct ToneHeader {
    DWORD Rate;
    DWORD Channels;
    DWORD Frames;
    DWORD Period;
    WORD Amplitude;
};

inline short ToneSample(const ToneHeader &tone, DWORD frame, DWORD channel) {
    int level = tone.Amplitude / (int)(channel + 1);
    return (short)(frame % tone.Period < tone.Period / 2 ? level : -level);
}

#endif
