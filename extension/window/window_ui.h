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
    HWND Seek;
    HWND Time;
    HWND Resume;
    HWND Gain;
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
#define WM_TRACK_INFO_READ (WM_APP + 3)    // lParam: a TRACK_INFO_RESULT of the reader
#define WM_START_READER (WM_APP + 4)       // rows asked for their tags before the reader ran
// Runs only while the window is shown and not minimised: the position
// every tick, the player's list every other one.
#define SHOWN_TIMER_ID 1

#endif
