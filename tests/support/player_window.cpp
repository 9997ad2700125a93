#include "player_window.h"

#include "app/main_window.h"
#include "app/player_state.h"
#include "control/extension_host.h"
#include "playlist/playlist.h"
#include "tray/tray_clicks.h"

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
