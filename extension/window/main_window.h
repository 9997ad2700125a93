// The module's top-level window: a normal window of its own (not owned by
// the player's hidden one), made hidden at XM_INIT, shown at XM_SHOWWINDOW,
// hidden again when closed, destroyed at XM_UNLOAD.
#ifndef TONQUIL_EXTENSION_MAIN_WINDOW_H
#define TONQUIL_EXTENSION_MAIN_WINDOW_H

#include <windows.h>

// Registers the class, reads the settings, makes the window and its
// controls, takes the media keys. Gives 0 (and leaves nothing behind) when
// the window cannot be made.
int CreateTonquilWindow();
void ShowTonquilWindow();
// Saves the settings, gives back the media keys, stops the timer, destroys
// the window and unregisters the class.
void DestroyTonquilWindow();
// XM_TRACKCHANGED, which comes while the player is still starting the track:
// posted to the window, which answers once the player is done.
void PostTrackChanged(WPARAM index);

#endif
