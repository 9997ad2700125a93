// The window's child controls, made in tab order: transport buttons,
// volume, mute, the seek row, the playlist, the edit buttons, play mode,
// resume, ReplayGain and the status bar. A control without a visible text of its own (the slider,
// the list) carries its accessible name as window text and follows a label.
#ifndef TONQUIL_EXTENSION_CONTROLS_H
#define TONQUIL_EXTENSION_CONTROLS_H

#include <windows.h>

// Fills Ui with the controls; 0 when one could not be made.
int CreateControls(HWND window);

// Pieces the units that own a control make it from.
HWND AddCheckBox(HWND window, UINT text, int id);
// A label and a drop-down list of count texts after it; gives the list.
HWND AddChoice(HWND window, UINT label, int labelId, int id, const UINT *texts, int count);
// Selects the choice the player holds (none when out of range), unless the
// list is open.
void ShowChoice(HWND choice, LONG value);

#endif
