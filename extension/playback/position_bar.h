// The current track's place: the time text ("1:23 / 4:56") and the seek
// slider below the transport. The player gives length and position in
// milliseconds; every seek is asked of it with CM_SETPOSITION, and the bar
// then shows what the player says, not what was asked.
#ifndef TONQUIL_EXTENSION_POSITION_BAR_H
#define TONQUIL_EXTENSION_POSITION_BAR_H

#include <windows.h>

// The step of the arrow keys, on the slider or with Ctrl anywhere.
#define SEEK_STEP_MS 5000

// Sets the slider's steps and shows an empty time, once Ui.Seek and Ui.Time
// are made.
void PrepareSeekRow();
// Shows the player's position and length; the thumb stays where the user
// holds it.
void RefreshPosition();
// WM_HSCROLL from the seek slider.
void OnSeekScroll(WORD code);
// Moves the current track by delta from where it now is. A target before
// the start goes to the start; one at or past the end is not asked for, so
// a seek never skips to the next track.
void SeekBy(LONG delta);

#endif
