// The window's DPI and lengths scaled by it. Every length is given at 96 DPI
// and scaled by Ui.Dpi.
#ifndef TONQUIL_EXTENSION_DPI_H
#define TONQUIL_EXTENSION_DPI_H

#include <windows.h>

// A user32 call of newer systems, or NULL where the system lacks it.
FARPROC User32Function(const char *name);
// The DPI of the screen as a whole.
UINT SystemDpi();
// The DPI of the monitor the window is on (the system's where the system
// cannot tell per window).
UINT WindowDpi(HWND window);
int Scale(int length);
int Unscale(int length);

#endif
