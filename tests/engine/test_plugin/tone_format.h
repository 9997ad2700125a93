// The test plug-in's file format: a header that describes a square wave, so
// a test knows every sample the plug-in decodes from it.
//   "TQTONE\r\n", then little-endian DWORDs rate, channels, frames, period
//   (frames per cycle) and a WORD amplitude (16-bit full scale);
//   optionally then a DWORD of TONE_ options, a DWORD of TQ_GAIN_ flags and
//   the track's gain and peak and the album's gain and peak as 32-bit floats,
//   which the plug-in states as the file's ReplayGain values.
// Frame i of channel c is +amplitude/(c+1) in the first half of each period
// and -amplitude/(c+1) in the second, as 16-bit integers.
#ifndef TONQUIL_TESTS_TONE_FORMAT_H
#define TONQUIL_TESTS_TONE_FORMAT_H

#include <windows.h>

#define TONE_MAGIC "TQTONE\r\n"
#define TONE_MAGIC_SIZE 8
#define TONE_HEADER_SIZE (TONE_MAGIC_SIZE + 4 * 4 + 2)
#define TONE_EXTENSION_SIZE (2 * 4 + 4 * 4)

// The decoder as plug-ins of earlier versions or other kinds give it.
#define TONE_NO_SEEK 1     // no Seek
#define TONE_REFUSE_SEEK 2 // a Seek that refuses every frame
#define TONE_NO_LENGTH 4   // the length left unknown
#define TONE_HUGE_LENGTH 8 // a length of 2^64 - 1 frames
// Open sets the named event TONE_OPENING_EVENT, then waits (up to a minute)
// until the test sets TONE_RELEASE_EVENT: an open as slow as the test needs.
#define TONE_HOLD_OPEN 16
#define TONE_OPENING_EVENT L"TonquilToneOpening"
#define TONE_RELEASE_EVENT L"TonquilToneRelease"
#define TONE_HOLD_LIMIT_MS 60000

struct ToneHeader {
    DWORD Rate;
    DWORD Channels;
    DWORD Frames;
    DWORD Period;
    WORD Amplitude;
    DWORD Options = 0;
    DWORD GainFlags = 0;
    float TrackGain = 0;
    float TrackPeak = 0;
    float AlbumGain = 0;
    float AlbumPeak = 0;
};

inline short ToneSample(const ToneHeader &tone, DWORD frame, DWORD channel) {
    int level = tone.Amplitude / (int)(channel + 1);
    return (short)(frame % tone.Period < tone.Period / 2 ? level : -level);
}

#endif
