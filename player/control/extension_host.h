// The host side of the optional extension module tonquil.dll.
#ifndef TONQUIL_PLAYER_CONTROL_EXTENSION_HOST_H
#define TONQUIL_PLAYER_CONTROL_EXTENSION_HOST_H

#include <windows.h>
#include "player/core/extension_notify.h"

extern HMODULE ExtensionModule;

void LoadExtensionModule(HWND window);
// Sends XM_UNLOAD and lets the module go; it stays mapped until
// FreeRetiredExtensionModule, which runs after the message loop has ended.
void UnloadExtensionModule(HWND window);
void FreeRetiredExtensionModule();
LRESULT ShowExtensionWindow(HWND window);

#endif
