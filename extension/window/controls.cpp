#include "extension/window/controls.h"

#include "extension/window/keyboard.h"
#include "extension/module_record.h"
#include "extension/list/playlist_view.h"
#include "extension/playback/position_bar.h"
#include "extension/window/resource.h"
#include "extension/window/status_bar.h"
#include "extension/common/texts.h"
#include "extension/window/window_ui.h"

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

HWND AddCheckBox(HWND window, UINT text, int id) {
    return AddControl(window, L"Button", text, WS_TABSTOP | BS_AUTOCHECKBOX, id);
}

HWND AddChoice(HWND window, UINT label, int labelId, int id, const UINT *texts, int count) {
    if (!AddLabel(window, label, labelId))
        return NULL;
    HWND choice =
        AddControl(window, L"ComboBox", 0, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, id);
    for (int i = 0; choice && i < count; ++i) {
        WCHAR text[TEXT_SIZE];
        LoadText(texts[i], text, TEXT_SIZE);
        SendMessageW(choice, CB_ADDSTRING, 0, (LPARAM)text);
    }
    return choice;
}

void ShowChoice(HWND choice, LONG value) {
    if (value < 0 || value >= (LONG)SendMessageW(choice, CB_GETCOUNT, 0, 0))
        value = -1; // a value the window has no text for: none shown
    if (!SendMessageW(choice, CB_GETDROPPEDSTATE, 0, 0) &&
        SendMessageW(choice, CB_GETCURSEL, 0, 0) != value)
        SendMessageW(choice, CB_SETCURSEL, (WPARAM)value, 0);
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
    Ui.Mute = AddCheckBox(window, IDS_MUTE, IDC_MUTE);
    return Ui.Mute != NULL;
}

static int AddPlayMode(HWND window) {
    static const UINT Modes[] = {IDS_MODE_STOP, IDS_MODE_ORDER, IDS_MODE_SHUFFLE};
    Ui.PlayMode = AddChoice(window, IDS_MODE_LABEL, IDC_MODE_LABEL, IDC_MODE, Modes,
                            sizeof Modes / sizeof Modes[0]);
    return Ui.PlayMode != NULL;
}

// Label, slider and time; the slider is named by its text and its label.
static int AddSeekRow(HWND window) {
    if (!AddLabel(window, IDS_SEEK_LABEL, IDC_SEEK_LABEL))
        return 0;
    Ui.Seek = AddControl(window, TRACKBAR_CLASSW, IDS_SEEK_NAME,
                         WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, IDC_SEEK);
    Ui.Time = AddControl(window, L"Static", 0, SS_RIGHT | SS_CENTERIMAGE, IDC_TIME);
    if (!Ui.Seek || !Ui.Time)
        return 0;
    PrepareSeekRow();
    return 1;
}

static int AddPlaybackOptions(HWND window) {
    static const UINT Gains[] = {IDS_GAIN_OFF, IDS_GAIN_TRACK, IDS_GAIN_ALBUM};
    Ui.Resume = AddCheckBox(window, IDS_RESUME, IDC_RESUME);
    Ui.Gain = AddChoice(window, IDS_GAIN_LABEL, IDC_GAIN_LABEL, IDC_GAIN, Gains,
                        sizeof Gains / sizeof Gains[0]);
    return Ui.Resume && Ui.Gain;
}

int CreateControls(HWND window) {
    if (!AddTransport(window) || !AddVolume(window) || !AddSeekRow(window) ||
        !CreatePlaylistView(window))
        return 0;
    if (!AddButton(window, IDS_ADD, IDC_ADD) || !AddButton(window, IDS_REMOVE, IDC_REMOVE) ||
        !AddButton(window, IDS_SAVE, IDC_SAVE) || !AddPlayMode(window) ||
        !AddPlaybackOptions(window))
        return 0;
    Ui.Status = CreateStatusBar(window);
    return Ui.Status != NULL;
}
