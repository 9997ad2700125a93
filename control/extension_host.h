// The host side of the optional extension module tonquil.dll.
#ifndef TONQUIL_CONTROL_EXTENSION_HOST_H
#define TONQUIL_CONTROL_EXTENSION_HOST_H

#include <windows.h>

extern HMODULE ExtensionModule;

LRESULT CallExtension(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void LoadExtensionModule(HWND window);
void UnloadExtensionModule(HWND window);
LRESULT ShowExtensionWindow(HWND window);

#endif
