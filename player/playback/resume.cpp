#include "player/playback/resume.h"

#include "player/core/player_state.h"
#include "player/playback/audio_library.h"
#include "player/playback/track_position.h"

static int ResumePending;
static LONG ResumeTrackNo;

void ArmResume() {
    ResumePending = PlayerState->Resume && PlayerState->Position > 0;
    ResumeTrackNo = PlayerState->TrackNo;
}

// A position at or past the track's end, or in a track that cannot tell its
// length, starts it from the beginning: the track is never skipped.
void StartWhereResumed(DWORD stream) {
    if (!ResumePending)
        return;
    ResumePending = 0;
    if (!stream || !PlayerState->Resume || PlayerState->TrackNo != ResumeTrackNo)
        return;
    QWORD bytes = PositionWithin(stream, PlayerState->Position, 0);
    if (bytes != NO_POSITION)
        AudioSetPosition(stream, bytes);
}

// With Resume off the close asks the library nothing.
void NoteResumePosition() {
    if (PlayerState->Resume && !ResumePending)
        PlayerState->Position = TrackPositionMs();
}
