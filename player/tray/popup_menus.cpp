#include "player/tray/popup_menus.h"

#include "player/core/paths.h"
#include "player/core/player_state.h"
#include "player/playlist/playlist.h"
#include "tonquil_extension.h"

#define LABEL_SIZE 520
// Track commands carry the index in the low word of wParam.
#define LAST_TRACK_INDEX (0xFFFF - IDM_TRACK_FIRST)

static void ShowPopupAtCursor(HWND window, HMENU popup) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    SetForegroundWindow(window);
    TrackPopupMenuEx(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, window, NULL);
    // The window of a tray menu must see a message of its own after the menu,
    // or the next menu it shows may not close when the user clicks elsewhere.
    PostMessageW(window, WM_NULL, 0, 0);
}

LRESULT ShowMainMenu(HWND window) {
    HMENU menu = LoadMenuW(GetModuleHandleW(NULL), L"MAINMENU");
    if (!menu)
        return 0;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup)
        ShowPopupAtCursor(window, popup);
    DestroyMenu(menu);
    return 0;
}

// The first index of the window of m entries out of n around TrackNo. A
// negative TrackNo (a hand-edited settings file) is shown as 0.
static LONG FirstShownIndex(LONG n, LONG m) {
    LONG current = PlayerState->TrackNo < 0 ? 0 : PlayerState->TrackNo;
    if (PlayerState->TrackStyle == TRACKS_ROLLING) {
        LONG first = current - m / 2;
        return first < 0 ? first + n : first;
    }
    LONG first = current - PlayerState->TrackCount / 2;
    if (first > n - m)
        first = n - m;
    return first < 0 ? 0 : first;
}

// Rolling lists number their items by menu position, clamped ones by index.
static BOOL AppendTrackItem(HMENU menu, LONG index, int rolling, const TRACKENTRY *entry) {
    int position = GetMenuItemCount(menu);
    WCHAR name[LABEL_SIZE], label[LABEL_SIZE];
    GetEntryName(entry->Path, name, LABEL_SIZE - 16);
    wsprintfW(label, L"&%d\t%s", rolling ? position + 1 : (int)index + 1, name);
    MENUITEMINFOW item = {};
    item.cbSize = (UINT)TRACK_MENU_ITEM_SIZE;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = index == PlayerState->TrackNo ? (MFS_CHECKED | MFS_DEFAULT) : 0;
    item.wID = (UINT)(IDM_TRACK_FIRST + index);
    item.dwTypeData = label;
    return InsertMenuItemW(menu, (UINT)position, TRUE, &item);
}

HMENU BuildTrackMenu() {
    if (PlayerState->TrackCount <= 0)
        return NULL;
    EnsurePlaylistLoaded();
    LONG n = CountTracks();
    if (n == 0)
        return NULL;
    LONG m = PlayerState->TrackCount < n ? PlayerState->TrackCount : n;
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return NULL;
    int rolling = PlayerState->TrackStyle == TRACKS_ROLLING;
    LONG index = FirstShownIndex(n, m);
    for (LONG k = 0; k < m; ++k, ++index) {
        if (rolling && index >= n)
            index = 0;
        TRACKENTRY *entry = GetTrack(index);
        if (!entry)
            break;
        // An id past 65535 would wrap onto another track's command.
        if (index > LAST_TRACK_INDEX)
            continue;
        AppendTrackItem(menu, index, rolling, entry);
    }
    return menu;
}

LRESULT ShowTrackMenu(HWND window) {
    HMENU menu = BuildTrackMenu();
    if (!menu)
        return 0;
    ShowPopupAtCursor(window, menu);
    DestroyMenu(menu);
    return 0;
}
