// One track of an album image: a decoder over the whole file, limited to the
// frames of the track, as a decoder of its own with the track's names and
// ReplayGain. Positions, seeking and the length then hold per track.
#ifndef TONQUIL_ENGINE_DECODING_TRACK_WINDOW_H
#define TONQUIL_ENGINE_DECODING_TRACK_WINDOW_H

#include "engine/bass.h"

#include <string>

struct TrackBounds {
    bool Active; // false for a plain file
    // In CD frames (1/75 s) from the image's start; End may be CUE_TO_FILE_END.
    DWORD Start;
    DWORD End;
    std::string Artist; // UTF-8, empty when unknown
    std::string Title;
    // Taken where the image's own tags state no ReplayGain (TQ_GAIN_ bits).
    DWORD GainFlags;
    float TrackGain, TrackPeak, AlbumGain, AlbumPeak;
};

// Replaces *decoder, standing at frame at of the image, by the track's
// window of it, moved to the track's first frame. On failure (the track lies
// past the image's end, or the image cannot go there) the image's decoder is
// closed and *decoder left empty.
bool LimitDecoder(TQDECODER *decoder, const TrackBounds *bounds, ULONGLONG at);

// For a window that has given its last frame, which is right before the CD
// frame start: its image's decoder, handed out with the frame it stands at,
// so that the track starting there goes on from it without a seek (which
// can take long in some codecs: a seek there could not be hidden behind the
// 100 ms the device holds). The window keeps nothing to close. False for any
// other decoder.
bool TakeImageDecoder(TQDECODER *window, DWORD start, TQDECODER *image, ULONGLONG *at);

#endif
