#include "extension/playback/playback_options.h"

#include "extension/window/controls.h"
#include "extension/common/player_link.h"
#include "extension/window/resource.h"
#include "extension/window/window_ui.h"

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
