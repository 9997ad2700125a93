#include "extension/controls.h"

#include "extension/keyboard.h"
#include "extension/module_record.h"
#include "extension/playlist_view.h"
#include "extension/resource.h"
#include "extension/status_bar.h"
#include "extension/texts.h"
#include "extension/window_ui.h"

#include <commctrl.h>

static HWND AddControl(HWND window, const WCHAR *className, UINT text, DWORD style, int id) {
    WCHAR title[TEXT_SIZE] = L"";
    if (text)
        LoadText(text, title, TEXT_SIZE);
    HWND control = CreateWindowExW(0, className, title, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                   window, (HMENU)(UINT_PTR)id, Module.Instance, NULL);
    if (control && (style & WS_TABSTOP))
        AddKeyboardHandling(control);
    return control;
}

static HWND AddButton(HWND window, UINT text, int id) {
    return AddControl(window, L"Button", text, WS_TABSTOP | BS_PUSHBUTTON, id);
}

static HWND AddLabel(HWND window, UINT text, int id) {
    return AddControl(window, L"Static", text, SS_LEFT | SS_CENTERIMAGE, id);
}

static int AddTransport(HWND window) {
    return AddButton(window, IDS_PREV, IDC_PREV) && AddButton(window, IDS_PLAY, IDC_PLAY) &&
           AddButton(window, IDS_PAUSE, IDC_PAUSE) && AddButton(window, IDS_STOP, IDC_STOP) &&
           AddButton(window, IDS_NEXT, IDC_NEXT);
}

static int AddVolume(HWND window) {
    if (!AddLabel(window, IDS_VOLUME_LABEL, IDC_VOLUME_LABEL))
        return 0;
    Ui.Volume = AddControl(window, TRACKBAR_CLASSW, IDS_VOLUME_NAME,
                           WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, IDC_VOLUME);
    if (!Ui.Volume)
        return 0;
    SendMessageW(Ui.Volume, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendMessageW(Ui.Volume, TBM_SETPAGESIZE, 0, 10);
    Ui.Mute = AddControl(window, L"Button", IDS_MUTE, WS_TABSTOP | BS_AUTOCHECKBOX, IDC_MUTE);
    return Ui.Mute != NULL;
}

static int AddPlayMode(HWND window) {
    static const UINT Modes[] = {IDS_MODE_STOP, IDS_MODE_ORDER, IDS_MODE_SHUFFLE};
    if (!AddLabel(window, IDS_MODE_LABEL, IDC_MODE_LABEL))
        return 0;
    Ui.PlayMode =
        AddControl(window, L"ComboBox", 0, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IDC_MODE);
    if (!Ui.PlayMode)
        return 0;
    for (UINT mode : Modes) {
        WCHAR text[TEXT_SIZE];
        LoadText(mode, text, TEXT_SIZE);
        SendMessageW(Ui.PlayMode, CB_ADDSTRING, 0, (LPARAM)text);
    }
    return 1;
}

int CreateControls(HWND window) {
    if (!AddTransport(window) || !AddVolume(window) || !CreatePlaylistView(window))
        return 0;
    if (!AddButton(window, IDS_ADD, IDC_ADD) || !AddButton(window, IDS_REMOVE, IDC_REMOVE) ||
        !AddButton(window, IDS_SAVE, IDC_SAVE) || !AddPlayMode(window))
        return 0;
    Ui.Status = CreateStatusBar(window);
    return Ui.Status != NULL;
}
