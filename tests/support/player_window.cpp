#include "player_window.h"

#include "player/app/main_window.h"
#include "player/core/player_state.h"
#include "player/control/extension_host.h"
#include "player/playlist/playlist.h"
#include "player/tray/tray_clicks.h"

HWND StartPlayerWindow() {
    PlaylistLoaded = 0;
    TeardownStarted = 0;
    DoubleClickSeen = 0;
    if (!CreatePlayerRecords())
        return NULL;
    HINSTANCE instance = GetModuleHandleW(NULL);
    RegisterMainClass(instance);
    return CreateMainWindow(instance);
}

int PumpMessages() {
    int count = 0;
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
        ++count;
    }
    return count;
}

void ClosePlayerWindow(HWND window) {
    if (!IsWindow(window))
        return;
    SendMessageW(window, WM_CLOSE, 0, 0);
    PumpMessages();
    // As the player does once its message loop has ended.
    FreeRetiredExtensionModule();
}
