// The player's playback options in the window: the check box that resumes
// the last track where it was left, and the ReplayGain choice (off, track,
// album). They show what the player holds and change it by the control
// messages.
#ifndef TONQUIL_EXTENSION_PLAYBACK_OPTIONS_H
#define TONQUIL_EXTENSION_PLAYBACK_OPTIONS_H

#include <windows.h>

void SyncPlaybackOptions();
// WM_COMMAND from a control of the window; 1 when it was one of these.
int OnPlaybackOptionCommand(WORD id, WORD code);

#endif
