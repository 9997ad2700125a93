// The keyboard's media keys as global hot keys while the module is loaded.
// A key that another program holds already is left to it.
#ifndef TONQUIL_EXTENSION_MEDIA_KEYS_H
#define TONQUIL_EXTENSION_MEDIA_KEYS_H

#include <windows.h>

// Registers the four keys for the window; names the ones that were taken
// in the status bar.
void RegisterMediaKeys(HWND window);
void UnregisterMediaKeys(HWND window);
// WM_HOTKEY: carries out the key's action.
void OnMediaKey(WPARAM id);

#endif
