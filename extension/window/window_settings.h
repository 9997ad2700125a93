// The window's own settings in section [Window] of tonquil.ini beside the
// player. The player writes only its own sections and leaves this one alone.
//   Left, Top, Right, Bottom  the window's normal place, in pixels
//   Maximized                 1 when it was maximised
//   NumberWidth, NameWidth (the title), ArtistWidth, LengthWidth,
//   FolderWidth               column widths at 96 DPI
//   MediaKeys                 0 turns the global media keys off (default 1)
#ifndef TONQUIL_EXTENSION_WINDOW_SETTINGS_H
#define TONQUIL_EXTENSION_WINDOW_SETTINGS_H

#include <windows.h>

#include "extension/list/playlist_view.h"

struct WINDOW_SETTINGS {
    int HasPlace; // the four sides were all there and made a usable window
    RECT Place;
    int Maximized;
    int ColumnWidths[PLAYLIST_COLUMNS]; // 0: the default
    int MediaKeys;
};

// Every write to the settings file goes through this pointer; the module
// exports it by name, so that tests can make a write fail part-way.
typedef BOOL(WINAPI *PROFILEWRITEPROC)(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR path);
extern "C" PROFILEWRITEPROC ProfileWriteCall;

void ReadWindowSettings(WINDOW_SETTINGS *settings);
// Gives 1 when every key was written; else tonquil.ini is left as it was.
int WriteWindowSettings(const WINDOW_SETTINGS *settings);

#endif
