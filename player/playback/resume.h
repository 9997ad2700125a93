// Resuming the track that was current when the player last closed: the
// first play of that track after start-up begins where it stood.
#ifndef TONQUIL_PLAYER_PLAYBACK_RESUME_H
#define TONQUIL_PLAYER_PLAYBACK_RESUME_H

#include <windows.h>

// Remembers TrackNo and Position as the settings read left them; called
// once after the read.
void ArmResume();
// Called with the stream of the first open after start-up, before it plays
// (0 when that open failed): moves it to the remembered position when it is
// the remembered track and Resume is on. Only the first open counts.
void StartWhereResumed(DWORD stream);
// Sets Position to where the current track stands, for the write at close.
// A remembered position that no play has used yet is kept.
void NoteResumePosition();

#endif
