// The tray icon, its tip and its information balloon.
#ifndef TONQUIL_PLAYER_TRAY_TRAY_ICON_H
#define TONQUIL_PLAYER_TRAY_TRAY_ICON_H

#include <windows.h>
#include <shellapi.h>
#include <stddef.h>
#include "player/core/window_contract.h"

// NOTIFYICONDATAW up to and including guidItem: 952 bytes in 32-bit code,
// the shell's version-3 size, whatever the headers' newer fields add.
#define TRAY_DATA_SIZE (offsetof(NOTIFYICONDATAW, guidItem) + sizeof(GUID))

// Every request to the shell goes through this pointer; tests replace it to
// read back what the shell is asked.
typedef BOOL(WINAPI *NOTIFYICONPROC)(DWORD message, PNOTIFYICONDATAW data);
extern NOTIFYICONPROC NotifyIconCall;

// The DPI the icon is sized for: the window's. Tests replace it.
typedef UINT (*TRAYDPIPROC)(HWND window);
extern TRAYDPIPROC TrayDpiCall;

// The icon's side in pixels at the small-icon size in force for window: from
// the system's metrics for its DPI where the system gives them, else the
// system's small size, else 16.
int TrayIconSize(HWND window);

// Adds the icon, its image at the size in force (loaded again when that has
// changed since the last load).
BOOL AddTrayIcon(HWND window);
// Gives the shell the image again after a change of DPI or display, when its
// size has changed. TRUE when the shell took a new image.
BOOL RefreshTrayIcon(HWND window);
BOOL SetTrayTip(HWND window, const WCHAR *text);
BOOL ShowTrayBalloon(HWND window, const WCHAR *title, const WCHAR *text);
BOOL RemoveTrayIcon(HWND window);
// Sets the tip last given to SetTrayTip again, after the shell has restarted.
BOOL RestoreTrayTip(HWND window);

// Fills the balloon request for a system of the given version. Returns 0
// when that system gets no balloon (major version 4).
int FillBalloonData(HWND window, const WCHAR *title, const WCHAR *text, DWORD majorVersion,
                    DWORD minorVersion, NOTIFYICONDATAW *data);

#endif
