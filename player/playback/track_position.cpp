#include "player/playback/track_position.h"

#include "player/core/player_state.h"
#include "player/playback/audio_library.h"

#define MS_LIMIT 0x7FFFFFFF

// Rounded to the nearest millisecond; NaN, negative and unknown give 0.
static LONG BytesToMs(DWORD stream, QWORD bytes) {
    if (bytes == NO_POSITION)
        return 0;
    double ms = (double)AudioBytesToSeconds(stream, bytes) * 1000.0;
    if (!(ms > 0.0))
        return 0;
    return ms + 0.5 >= (double)MS_LIMIT ? MS_LIMIT : (LONG)(ms + 0.5);
}

LONG TrackLengthMs() {
    DWORD stream = (DWORD)PlayerState->Channel;
    return stream ? BytesToMs(stream, AudioGetLength(stream)) : 0;
}

LONG TrackPositionMs() {
    DWORD stream = (DWORD)PlayerState->Channel;
    return stream ? BytesToMs(stream, AudioGetPosition(stream)) : 0;
}

// The comparison is made in milliseconds, as the caller counts; the byte
// position of the last millisecond may round past the end and is held to it.
QWORD PositionWithin(DWORD stream, LONG ms, int endTaken) {
    QWORD length = AudioGetLength(stream);
    if (ms < 0 || length == NO_POSITION)
        return NO_POSITION;
    LONG lengthMs = BytesToMs(stream, length);
    if (ms > lengthMs || (ms == lengthMs && !endTaken))
        return NO_POSITION;
    QWORD bytes = AudioSecondsToBytes(stream, (float)((double)ms / 1000.0));
    if (bytes == NO_POSITION)
        return NO_POSITION;
    if (bytes < length)
        return bytes;
    return endTaken ? length : NO_POSITION;
}

int SeekTrack(LONG ms) {
    DWORD stream = (DWORD)PlayerState->Channel;
    if (!stream || ms < 0)
        return 0;
    QWORD bytes = PositionWithin(stream, ms, 1);
    return bytes != NO_POSITION && AudioSetPosition(stream, bytes) ? 1 : 0;
}
