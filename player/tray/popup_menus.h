// The command menu and the track list, shown at the cursor.
#ifndef TONQUIL_PLAYER_TRAY_POPUP_MENUS_H
#define TONQUIL_PLAYER_TRAY_POPUP_MENUS_H

#include <windows.h>

// MENUITEMINFOW with hbmpItem: 48 bytes in 32-bit code, 80 in x64, where
// InsertMenuItemW refuses the 32-bit size.
#define TRACK_MENU_ITEM_SIZE sizeof(MENUITEMINFOW)

LRESULT ShowMainMenu(HWND window);
LRESULT ShowTrackMenu(HWND window);
// Builds the track list from the Playlist as it stands, or gives NULL when
// none is to be shown. The caller destroys it.
HMENU BuildTrackMenu();

#endif
