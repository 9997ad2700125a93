// Tonquil's own window, as an extension module: tonquil.dll beside the
// player. It uses nothing but the published extension interface.
#include "extension/files/dropped_entries.h"
#include "extension/window/main_window.h"
#include "extension/module_record.h"
#include "extension/common/player_link.h"
#include "tonquil_extension.h"

static LRESULT OnInit(HWND player) {
    Module.Player = player;
    Module.Unloading = 0;
    Module.BackupTaken = 0;
    return CreateTonquilWindow();
}

static void OnUnload() {
    Module.Unloading = 1;
    KeepCodeWhileRunning();
    DestroyTonquilWindow();
    ForgetRemovedByUser();
    Module.Player = NULL;
}

static LRESULT OnNotification(HWND player, UINT message, WPARAM wParam) {
    switch (message) {
    case XM_INIT:
        return OnInit(player);
    case XM_SHOWWINDOW:
        ShowTonquilWindow();
        return 0;
    case XM_TRACKCHANGED:
        PostTrackChanged(wParam);
        return 0;
    case XM_UNLOAD:
        OnUnload();
        return 0;
    }
    return 0;
}

extern "C" LRESULT CALLBACK DynamicWndProc(HWND player, UINT message, WPARAM wParam, LPARAM) {
    // XM_TRACKCHANGED comes while the player is still starting the track: it
    // only posts, and the window reads the entry once the player is done.
    if (message == XM_TRACKCHANGED)
        return OnNotification(player, message, wParam);
    ForgetCachedEntry();
    LRESULT result = OnNotification(player, message, wParam);
    ForgetCachedEntry();
    return result;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *) {
    if (reason == DLL_PROCESS_ATTACH) {
        Module.Instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
