// The window's child controls, made in tab order: transport buttons,
// volume, mute, the playlist, the edit buttons, play mode and the status
// bar. A control without a visible text of its own (the slider, the list)
// carries its accessible name as window text and follows a label.
#ifndef TONQUIL_EXTENSION_CONTROLS_H
#define TONQUIL_EXTENSION_CONTROLS_H

#include <windows.h>

// Fills Ui with the controls; 0 when one could not be made.
int CreateControls(HWND window);

#endif
