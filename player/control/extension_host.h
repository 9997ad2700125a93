// The host side of the optional extension module tonquil.dll.
#ifndef TONQUIL_PLAYER_CONTROL_EXTENSION_HOST_H
#define TONQUIL_PLAYER_CONTROL_EXTENSION_HOST_H

#include <windows.h>

extern HMODULE ExtensionModule;

// Hands a message to the module's DynamicWndProc; 0 while none is loaded.
LRESULT CallExtension(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The listener a loaded module is registered with: XM_TRACKCHANGED.
void TellExtensionTrackStarted(HWND window, LONG trackNo);
// A loaded module hears of each track that starts (XM_TRACKCHANGED).
void LoadExtensionModule(HWND window);
// Sends XM_UNLOAD and lets the module go; it stays mapped until
// FreeRetiredExtensionModule, which runs after the message loop has ended.
void UnloadExtensionModule(HWND window);
void FreeRetiredExtensionModule();
LRESULT ShowExtensionWindow(HWND window);

#endif
