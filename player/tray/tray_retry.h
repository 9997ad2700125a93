// The icon when the shell refuses it: at logon the player may start before
// the shell takes icons, and no TaskbarCreated is sure to follow. The add is
// tried again on a timer whose wait doubles from a second to a minute, for as
// long as it fails; a second start with nothing to hand over has it tried
// at once.
#ifndef TONQUIL_PLAYER_TRAY_TRAY_RETRY_H
#define TONQUIL_PLAYER_TRAY_TRAY_RETRY_H

#include <windows.h>
#include "player/core/window_contract.h"

#define TRAY_RETRY_FIRST_MS 1000
#define TRAY_RETRY_LONGEST_MS 60000

// The wait after the first refusal; tests shorten it.
extern UINT TrayRetryFirstWait;

// The wait after a try that followed a wait of wait: twice as long, at most
// TRAY_RETRY_LONGEST_MS.
UINT NextRetryWait(UINT wait);
// Adds the icon; when the shell refuses, the tries start again from the
// first wait. TRUE when the icon is in.
BOOL PlaceTrayIcon(HWND window);
// TRAY_RETRY_TIMER_ID: the next try; once the icon is in, the tip last set is
// given again, as the shell refused it while the icon was missing.
LRESULT OnTrayRetryTimer(HWND window, WPARAM timerId, LPARAM lParam);
// WM_TRAYRETRY: tries at once when the icon is missing.
LRESULT OnTrayRetryRequest(HWND window, WPARAM wParam, LPARAM lParam);

#endif
