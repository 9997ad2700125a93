#include "control/extension_host.h"

#include "app/paths.h"
#include "playlist/playlist.h"
#include "tonquil_extension.h"

HMODULE ExtensionModule;

LRESULT CallExtension(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!ExtensionModule)
        return 0;
    DYNAMICWNDPROC procedure =
        (DYNAMICWNDPROC)(void *)GetProcAddress(ExtensionModule, "DynamicWndProc");
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

void UnloadExtensionModule(HWND window) {
    if (ExtensionModule) {
        CallExtension(window, XM_UNLOAD, 0, 0);
        FreeLibrary(ExtensionModule);
    }
    ExtensionModule = NULL;
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
    if (GetProcAddress(ExtensionModule, "DynamicWndProc") && CallExtension(window, XM_INIT, 0, 0))
        return;
    UnloadExtensionModule(window);
}

LRESULT ShowExtensionWindow(HWND window) {
    LoadExtensionModule(window);
    EnsurePlaylistLoaded();
    if (ExtensionModule)
        CallExtension(window, XM_SHOWWINDOW, 0, 0);
    return 0;
}
