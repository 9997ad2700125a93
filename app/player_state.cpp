#include "app/player_state.h"

#include "app/heap.h"
#include "tonquil_extension.h"

PLAYERSTATE *PlayerState;
TRAYCONFIG *TrayConfig;

int CreatePlayerRecords() {
    if (!PlayerState)
        PlayerState = (PLAYERSTATE *)HeapZeroAlloc(sizeof(PLAYERSTATE));
    if (!TrayConfig)
        TrayConfig = (TRAYCONFIG *)HeapZeroAlloc(sizeof(TRAYCONFIG));
    if (!PlayerState || !TrayConfig)
        return 0;

    static const PLAYERSTATE initialState = {
        1,   // FreeAddOn
        0,   // Mute
        1,   // PlayMode: list order
        0,   // SampleBit
        0,   // ShowInfo
        0,   // Channel
        20,  // TrackCount
        0,   // TrackNo
        1,   // TrackStyle: rolling
        100, // Volume
    };
    static const TRAYCONFIG initialTray = {
        IDM_TRACKLIST, // LBtnClk
        IDM_TRACKMENU, // RBtnClk
        0,             // MBtnClk
        IDM_PLAYNEXT,  // LBtnDblClk
        0,             // RBtnDblClk
        0,             // MBtnDblClk
        0,             // LastButtonUp
        120,           // Elapse; the settings read replaces it
    };
    *PlayerState = initialState;
    *TrayConfig = initialTray;
    return 1;
}
