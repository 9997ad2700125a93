// Sizes that follow the window's DPI: fonts, icons and the places of the
// controls. Every length is given at 96 DPI and scaled by Ui.Dpi.
#ifndef TONQUIL_EXTENSION_LAYOUT_H
#define TONQUIL_EXTENSION_LAYOUT_H

#include <windows.h>

// The DPI of the monitor the window is on (the system's where the system
// cannot tell per window).
UINT WindowDpi(HWND window);
int Scale(int length);
int Unscale(int length);

// Makes the fonts and icons for Ui.Dpi and hands them to the window and
// its controls, freeing the ones they replace.
void ApplyDpiResources();
void FreeDpiResources();
void LayoutControls();
// The smallest size the window may be dragged to.
void LimitWindowSize(MINMAXINFO *limits);

#endif
