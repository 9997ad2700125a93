// Paths opened from outside while the player runs: its own command line and
// the records of second starts. Paths that come close together are one
// selection (Explorer starts one process per selected file): its entries go
// at the end of the Playlist together, after the playlist file has been
// read, and the first of them that came without /add starts playing, once.
#ifndef TONQUIL_PLAYER_APP_OPENED_FILES_H
#define TONQUIL_PLAYER_APP_OPENED_FILES_H

#include <windows.h>

#include "player/app/command_paths.h"

// A selection stays open while its paths come less than this apart, and at
// most SELECTION_LONGEST_MS from its first. Explorer starts one process per
// file of a selection; on a busy machine those come well over half a second
// apart, so the gap allowed is a second and a half.
#define SELECTION_WINDOW_MS 1500
#define SELECTION_LONGEST_MS 5000

// Takes the paths of the player's own command line.
void QueueOwnPaths(HWND window, const COMMAND_PATHS *paths);
// WM_COPYDATA: a path record of a second start; anything else is left to
// default processing. Gives TRUE for a record taken.
LRESULT OnCopyData(HWND window, WPARAM wParam, LPARAM lParam);
// The selection's timer: the selection is added (and played).
LRESULT OnSelectionTimer(HWND window, WPARAM wParam, LPARAM lParam);
// Frees paths still waiting (the window is going).
void DropOpenedPaths(HWND window);

#endif
