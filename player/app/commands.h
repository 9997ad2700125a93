// The command set carried in WM_COMMAND (ids in tonquil_extension.h).
#ifndef TONQUIL_PLAYER_APP_COMMANDS_H
#define TONQUIL_PLAYER_APP_COMMANDS_H

#include <windows.h>
#include "tonquil_extension.h"

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);
// Stops what plays and plays the entry at index once the posted play
// command is taken from the queue; an index past the end does nothing.
void ChooseTrack(HWND window, LONG index);
// The About box; returns when the user has closed it.
void ShowAboutBox(HWND window);
// The About box's text, three lines separated by line feeds.
extern const WCHAR AboutText[];
extern const WCHAR AboutCaption[];

#endif
