// Clicks on the tray icon become commands, single and double clicks told
// apart by a one-shot timer.
#ifndef TONQUIL_PLAYER_TRAY_TRAY_CLICKS_H
#define TONQUIL_PLAYER_TRAY_TRAY_CLICKS_H

#include <windows.h>
#include "player/core/window_contract.h"

extern int DoubleClickSeen;

LRESULT OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnClickTimer(HWND window, WPARAM timerId, LPARAM lParam);

#endif
