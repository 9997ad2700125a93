#include "extension/window/status_bar.h"

#include "extension/common/dpi.h"
#include "extension/module_record.h"
#include "extension/common/player_link.h"
#include "extension/window/resource.h"
#include "extension/common/texts.h"
#include "extension/window/window_ui.h"

#include <commctrl.h>

#define COUNT_PART_WIDTH 110

HWND CreateStatusBar(HWND window) {
    return CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                           0, 0, window, (HMENU)(UINT_PTR)IDC_STATUS, Module.Instance, NULL);
}

void ShowStatus(const WCHAR *text) {
    SendMessageW(Ui.Status, SB_SETTEXTW, 0, (LPARAM)text);
}

void ShowStatusText(UINT id) {
    WCHAR text[TEXT_SIZE];
    LoadText(id, text, TEXT_SIZE);
    ShowStatus(text);
}

void ShowTrackStatus(UINT id, LONG index) {
    const TRACKENTRY *entry = EntryAt(index);
    if (!entry || !entry->Path)
        return;
    WCHAR name[NAME_SIZE], text[TEXT_SIZE];
    CopyShortName(entry->Path, name);
    FormatText(text, id, (int)index + 1, name);
    ShowStatus(text);
}

int HasStatus() {
    return LOWORD(SendMessageW(Ui.Status, SB_GETTEXTLENGTHW, 0, 0)) != 0;
}

void ShowTrackCount(LONG count) {
    WCHAR text[TEXT_SIZE];
    FormatText(text, IDS_TRACK_COUNT, (int)count);
    SendMessageW(Ui.Status, SB_SETTEXTW, 1, (LPARAM)text);
}

int LayoutStatusBar() {
    SendMessageW(Ui.Status, WM_SIZE, 0, 0);
    RECT client;
    GetClientRect(Ui.Window, &client);
    int parts[2] = {client.right - Scale(COUNT_PART_WIDTH), -1};
    if (parts[0] < 0)
        parts[0] = 0;
    SendMessageW(Ui.Status, SB_SETPARTS, 2, (LPARAM)parts);
    RECT bar;
    GetWindowRect(Ui.Status, &bar);
    return bar.bottom - bar.top;
}
