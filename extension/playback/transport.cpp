#include "extension/playback/transport.h"

#include "extension/window/controls.h"
#include "extension/common/player_link.h"
#include "extension/window/resource.h"
#include "extension/window/window_ui.h"

#include <commctrl.h>

static int Playing;

void RunTransport(UINT message) {
    SendToPlayer(message, 0, 0);
    if (message == CM_PAUSE || message == CM_STOP)
        Playing = 0;
}

void TogglePlayPause() {
    RunTransport(Playing ? CM_PAUSE : CM_PLAY);
}

void NoteTrackStarted() {
    Playing = 1;
}

void SyncTransportControls() {
    if (GetCapture() != Ui.Volume) {
        LONG volume = (LONG)SendToPlayer(CM_GETVOLUME, 0, 0);
        if (SendMessageW(Ui.Volume, TBM_GETPOS, 0, 0) != volume)
            SendMessageW(Ui.Volume, TBM_SETPOS, TRUE, volume);
    }
    WPARAM mute = SendToPlayer(CM_GETMUTE, 0, 0) ? BST_CHECKED : BST_UNCHECKED;
    if ((WPARAM)SendMessageW(Ui.Mute, BM_GETCHECK, 0, 0) != mute)
        SendMessageW(Ui.Mute, BM_SETCHECK, mute, 0);
    ShowChoice(Ui.PlayMode, (LONG)SendToPlayer(CM_GETPLAYMODE, 0, 0));
}

void OnVolumeScroll() {
    LRESULT position = SendMessageW(Ui.Volume, TBM_GETPOS, 0, 0);
    SendToPlayer(CM_SETVOLUME, (WPARAM)position, 0);
}

int OnTransportCommand(WORD id, WORD code) {
    switch (id) {
    case IDC_PREV:
        RunTransport(CM_PLAYPREV);
        return 1;
    case IDC_PLAY:
        RunTransport(CM_PLAY);
        return 1;
    case IDC_PAUSE:
        RunTransport(CM_PAUSE);
        return 1;
    case IDC_STOP:
        RunTransport(CM_STOP);
        return 1;
    case IDC_NEXT:
        RunTransport(CM_PLAYNEXT);
        return 1;
    case IDC_MUTE:
        if (code == BN_CLICKED)
            SendToPlayer(CM_SETMUTE, SendMessageW(Ui.Mute, BM_GETCHECK, 0, 0) == BST_CHECKED, 0);
        return 1;
    case IDC_MODE:
        if (code == CBN_SELCHANGE) {
            LRESULT mode = SendMessageW(Ui.PlayMode, CB_GETCURSEL, 0, 0);
            if (mode >= 0)
                SendToPlayer(CM_SETPLAYMODE, (WPARAM)mode, 0);
        }
        return 1;
    }
    return 0;
}
