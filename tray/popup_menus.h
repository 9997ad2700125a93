// The command menu and the track list, shown at the cursor.
#ifndef TONQUIL_TRAY_POPUP_MENUS_H
#define TONQUIL_TRAY_POPUP_MENUS_H

#include <windows.h>

#define TRACK_MENU_ITEM_SIZE 48

LRESULT ShowMainMenu(HWND window);
LRESULT ShowTrackMenu(HWND window);
// Builds the track list from the Playlist as it stands, or gives NULL when
// none is to be shown. The caller destroys it.
HMENU BuildTrackMenu();

#endif
