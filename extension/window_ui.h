// The window and the handles it owns, made at XM_INIT and gone at XM_UNLOAD.
#ifndef TONQUIL_EXTENSION_WINDOW_UI_H
#define TONQUIL_EXTENSION_WINDOW_UI_H

#include <windows.h>

struct WINDOW_UI {
    HWND Window;
    HWND List;
    HWND Status;
    HWND Volume;
    HWND Mute;
    HWND PlayMode;
    HWND LastFocus; // the control that had the focus when the window was left
    HFONT Font;
    HFONT BoldFont; // the current track's row
    HICON BigIcon;
    HICON SmallIcon;
    UINT Dpi;
};

extern WINDOW_UI Ui;

// Private messages and the timer of the window to itself.
#define WM_TRACKCHANGED_LATER (WM_APP + 1) // wParam: the index that started
#define WM_SYNC_LATER (WM_APP + 2)         // the list looked changed while drawn
#define SYNC_TIMER_ID 1                    // a look at the player's list while shown

#endif
