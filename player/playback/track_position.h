// Length and position of the current track in milliseconds, and moving
// within it, through the audio library's byte positions.
#ifndef TONQUIL_PLAYER_PLAYBACK_TRACK_POSITION_H
#define TONQUIL_PLAYER_PLAYBACK_TRACK_POSITION_H

#include <windows.h>
#include "tonquil_audio_library.h"

// 0 when nothing is open or the library cannot tell; at most 0x7FFFFFFF.
LONG TrackLengthMs();
LONG TrackPositionMs();
// Moves the current track to ms. 1 moved; 0 refused: nothing open, ms
// negative or past the end, a track that cannot tell its length, or the
// library's refusal.
int SeekTrack(LONG ms);

// The byte position of ms in stream: up to the end itself when endTaken,
// before it otherwise. NO_POSITION when ms lies outside, or when the stream
// cannot tell its length.
QWORD PositionWithin(DWORD stream, LONG ms, int endTaken);

#endif
