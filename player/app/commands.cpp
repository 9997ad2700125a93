#include "player/app/commands.h"

#include "player/control/extension_host.h"
#include "player/playback/playback.h"
#include "player/playlist/playlist.h"
#include "player/core/player_state.h"
#include "player/tray/popup_menus.h"
#include "tonquil_version.h"

const WCHAR AboutCaption[] = L"About";
const WCHAR AboutText[] = L"Tonquil Log Mode\n"
                          L"Version " TONQUIL_VERSION_DOTS L" (Unicode Build)\n"
                          L"Copyright (C) The Tonquil developers. All rights reserved.";

void ShowAboutBox(HWND window) {
    MessageBoxW(window, AboutText, AboutCaption, MB_ICONINFORMATION | MB_OK);
}

static void RunPlayerCommand(HWND window, WORD id) {
    switch (id) {
    case IDM_ABOUT:
        ShowAboutBox(window);
        break;
    case IDM_EXIT:
        PostMessageW(window, WM_CLOSE, 0, 0);
        break;
    case IDM_PAUSE:
        PausePlayback();
        break;
    case IDM_PLAY:
        PlayTrack(window);
        break;
    case IDM_PLAYNEXT:
        PlayNext(window);
        break;
    case IDM_PLAYPREV:
        PlayPrevious(window);
        break;
    case IDM_SHOWWINDOW:
        ShowExtensionWindow(window);
        break;
    case IDM_STOP:
        StopPlayback(window);
        break;
    case IDM_TRACKMENU:
        ShowMainMenu(window);
        break;
    case IDM_TRACKLIST:
        ShowTrackMenu(window);
        break;
    }
}

// The chosen entry plays once the posted play command is taken from the
// queue, after the menu that chose it has gone.
void ChooseTrack(HWND window, LONG index) {
    if (index >= CountTracks())
        return;
    StopPlayback(window);
    PlayerState->TrackNo = index;
    PostMessageW(window, WM_COMMAND, IDM_PLAY, 0);
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    WORD id = LOWORD(wParam);
    if (id >= IDM_ABOUT && id <= IDM_TRACKLIST) {
        RunPlayerCommand(window, id);
        return 0;
    }
    if (id >= IDM_TRACK_FIRST)
        ChooseTrack(window, (LONG)id - IDM_TRACK_FIRST);
    return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
}
