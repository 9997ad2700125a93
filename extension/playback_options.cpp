#include "extension/playback_options.h"

#include "extension/controls.h"
#include "extension/player_link.h"
#include "extension/resource.h"
#include "extension/window_ui.h"

static const UINT GainTexts[] = {IDS_GAIN_OFF, IDS_GAIN_TRACK, IDS_GAIN_ALBUM};

int CreatePlaybackOptions(HWND window) {
    Ui.Resume = AddCheckBox(window, IDS_RESUME, IDC_RESUME);
    if (!Ui.Resume)
        return 0;
    Ui.Gain = AddChoice(window, IDS_GAIN_LABEL, IDC_GAIN_LABEL, IDC_GAIN, GainTexts,
                        sizeof GainTexts / sizeof GainTexts[0]);
    return Ui.Gain != NULL;
}

void SyncPlaybackOptions() {
    WPARAM resume = SendToPlayer(CM_GETRESUME, 0, 0) ? BST_CHECKED : BST_UNCHECKED;
    if ((WPARAM)SendMessageW(Ui.Resume, BM_GETCHECK, 0, 0) != resume)
        SendMessageW(Ui.Resume, BM_SETCHECK, resume, 0);
    ShowChoice(Ui.Gain, (LONG)SendToPlayer(CM_GETREPLAYGAIN, 0, 0));
}

int OnPlaybackOptionCommand(WORD id, WORD code) {
    switch (id) {
    case IDC_RESUME:
        if (code == BN_CLICKED)
            SendToPlayer(CM_SETRESUME, SendMessageW(Ui.Resume, BM_GETCHECK, 0, 0) == BST_CHECKED,
                         0);
        return 1;
    case IDC_GAIN:
        if (code == CBN_SELCHANGE) {
            LRESULT mode = SendMessageW(Ui.Gain, CB_GETCURSEL, 0, 0);
            if (mode >= 0)
                SendToPlayer(CM_SETREPLAYGAIN, (WPARAM)mode, 0);
        }
        return 1;
    }
    return 0;
}
