#include "player/tray/tray_retry.h"

#include "player/tray/tray_icon.h"

UINT TrayRetryFirstWait = TRAY_RETRY_FIRST_MS;

// The wait of the timer that runs; 0 while the icon is in.
static UINT CurrentWait;

UINT NextRetryWait(UINT wait) {
    return wait < TRAY_RETRY_LONGEST_MS / 2 ? wait * 2 : TRAY_RETRY_LONGEST_MS;
}

static BOOL TryAdd(HWND window, UINT waitOnRefusal) {
    if (AddTrayIcon(window)) {
        CurrentWait = 0;
        KillTimer(window, TRAY_RETRY_TIMER_ID);
        return TRUE;
    }
    CurrentWait = waitOnRefusal;
    SetTimer(window, TRAY_RETRY_TIMER_ID, waitOnRefusal, NULL);
    return FALSE;
}

BOOL PlaceTrayIcon(HWND window) {
    return TryAdd(window, TrayRetryFirstWait);
}

LRESULT OnTrayRetryTimer(HWND window, WPARAM timerId, LPARAM) {
    // A late tick after the icon went in must not add it twice: the shell
    // would refuse the second add and the tries would start over.
    if (!CurrentWait) {
        KillTimer(window, timerId);
        return 0;
    }
    if (TryAdd(window, NextRetryWait(CurrentWait)))
        RestoreTrayTip(window);
    return 0;
}

LRESULT OnTrayRetryRequest(HWND window, WPARAM, LPARAM) {
    if (CurrentWait && PlaceTrayIcon(window))
        RestoreTrayTip(window);
    return 0;
}
