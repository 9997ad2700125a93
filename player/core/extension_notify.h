// The one way the folders below the extension host reach the extension
// module: a notification (XM_TRACKCHANGED, say) handed to its
// DynamicWndProc. The host in control/ carries it out; while no module is
// loaded it does nothing and gives 0.
#ifndef TONQUIL_PLAYER_CORE_EXTENSION_NOTIFY_H
#define TONQUIL_PLAYER_CORE_EXTENSION_NOTIFY_H

#include <windows.h>

LRESULT CallExtension(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
