// What follows the window's DPI: fonts, icons and the places of the
// controls.
#ifndef TONQUIL_EXTENSION_LAYOUT_H
#define TONQUIL_EXTENSION_LAYOUT_H

#include <windows.h>

// Makes the fonts and icons for Ui.Dpi and hands them to the window and
// its controls, freeing the ones they replace.
void ApplyDpiResources();
void FreeDpiResources();
void LayoutControls();
// The smallest size the window may be dragged to.
void LimitWindowSize(MINMAXINFO *limits);

#endif
