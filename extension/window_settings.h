// The window's own settings in section [Window] of tonquil.ini beside the
// player. The player writes only its own sections and leaves this one alone.
//   Left, Top, Right, Bottom  the window's normal place, in pixels
//   Maximized                 1 when it was maximised
//   NumberWidth, NameWidth, FolderWidth   column widths at 96 DPI
//   MediaKeys                 0 turns the global media keys off (default 1)
#ifndef TONQUIL_EXTENSION_WINDOW_SETTINGS_H
#define TONQUIL_EXTENSION_WINDOW_SETTINGS_H

#include <windows.h>

#include "extension/playlist_view.h"

struct WINDOW_SETTINGS {
    int HasPlace; // the four sides were all there and made a usable window
    RECT Place;
    int Maximized;
    int ColumnWidths[PLAYLIST_COLUMNS]; // 0: the default
    int MediaKeys;
};

void ReadWindowSettings(WINDOW_SETTINGS *settings);
void WriteWindowSettings(const WINDOW_SETTINGS *settings);

#endif
