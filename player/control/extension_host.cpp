#include "player/control/extension_host.h"

#include "player/core/paths.h"
#include "player/playback/playback.h"
#include "player/playlist/playlist.h"
#include "tonquil_extension.h"

HMODULE ExtensionModule;

// A module let go at teardown, still mapped: the close may have come from its
// own code (its window procedure, a notification, a dialog of its own), which
// is then still on the stack. It is freed once the message loop has ended.
static HMODULE RetiredModule;

LRESULT CallExtension(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!ExtensionModule)
        return 0;
    DYNAMICWNDPROC procedure =
        (DYNAMICWNDPROC)(void *)GetProcAddress(ExtensionModule, "DynamicWndProc");
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

void TellExtensionTrackStarted(HWND window, LONG trackNo) {
    CallExtension(window, XM_TRACKCHANGED, (WPARAM)trackNo, 0);
}

static HMODULE LetModuleGo(HWND window) {
    HMODULE module = ExtensionModule;
    if (module)
        CallExtension(window, XM_UNLOAD, 0, 0);
    ExtensionModule = NULL;
    TrackStartedListener = NULL;
    return module;
}

void FreeRetiredExtensionModule() {
    if (RetiredModule)
        FreeLibrary(RetiredModule);
    RetiredModule = NULL;
}

void UnloadExtensionModule(HWND window) {
    HMODULE module = LetModuleGo(window);
    if (module) {
        FreeRetiredExtensionModule();
        RetiredModule = module;
    }
}

void LoadExtensionModule(HWND window) {
    if (ExtensionModule)
        return;
    WCHAR path[MAX_PATH];
    if (!BuildModulePath(L"tonquil.dll", path))
        return;
    ExtensionModule = LoadLibraryW(path);
    if (!ExtensionModule)
        return;
    if (GetProcAddress(ExtensionModule, "DynamicWndProc") && CallExtension(window, XM_INIT, 0, 0)) {
        TrackStartedListener = TellExtensionTrackStarted;
        return;
    }
    // Refused: only the host's code runs here, so it can go at once.
    HMODULE module = LetModuleGo(window);
    if (module)
        FreeLibrary(module);
}

LRESULT ShowExtensionWindow(HWND window) {
    LoadExtensionModule(window);
    EnsurePlaylistLoaded();
    if (ExtensionModule)
        CallExtension(window, XM_SHOWWINDOW, 0, 0);
    return 0;
}
