// A recording stand-in for the extension module tonquil.dll. Every call of
// DynamicWndProc is written to extension-calls.log beside it (when the file
// exists) as "message wParam lParam thread", thread being "main" when the
// call comes on the player window's own thread. extension-double.ini beside
// it sets its behaviour, section "Double":
//   InitAnswer   the answer to XM_INIT (default 1)
//   OtherAnswer  the answer to every other notification (default 0)
//   CloseOn      a notification during which it sends WM_CLOSE to the player
//   InsertOnInit / InsertOnShow   a path it inserts with CM_INSERTTRACK
//   CloseFromWindow  at XM_SHOWWINDOW it posts its own window a message whose
//                    handling closes the player: 1 by sending WM_CLOSE, 2 by
//                    DestroyWindow; it logs "back" when that call returns
// At XM_UNLOAD it also logs how many entries the player still holds.
// Built without the export (TONQUIL_DOUBLE_NO_EXPORT) it stands for a module
// that lacks DynamicWndProc.
#include "tonquil_extension.h"
#include "double_log.h"

#include <wchar.h>

namespace {

WCHAR Folder[MAX_PATH];

#define LOG(...) DoubleLog(Folder, L"extension-calls.log", __VA_ARGS__)

} // namespace

#ifndef TONQUIL_DOUBLE_NO_EXPORT
namespace {

// Any 32-bit value, negative ones and 0x... included.
LRESULT ReadAnswer(const WCHAR *key, LRESULT fallback) {
    WCHAR path[MAX_PATH], text[32];
    lstrcpynW(path, Folder, MAX_PATH - 32);
    lstrcatW(path, L"extension-double.ini");
    GetPrivateProfileStringW(L"Double", key, L"", text, 32, path);
    if (!text[0])
        return fallback;
    return text[0] == L'-' ? (LRESULT)wcstol(text, NULL, 0) : (LRESULT)wcstoul(text, NULL, 0);
}

void InsertConfigured(HWND player, const WCHAR *key) {
    WCHAR path[MAX_PATH], insert[MAX_PATH];
    lstrcpynW(path, Folder, MAX_PATH - 32);
    lstrcatW(path, L"extension-double.ini");
    GetPrivateProfileStringW(L"Double", key, L"", insert, MAX_PATH, path);
    if (insert[0]) {
        LRESULT result = SendMessageW(player, CM_INSERTTRACK, (WPARAM)-1, (LPARAM)insert);
        LOG("insert %ld", (long)result);
    }
}

int CountEntries(HWND player) {
    int count = 0;
    while (SendMessageW(player, CM_GETTRACKENTRY, count, 0))
        ++count;
    return count;
}

#define WM_CLOSEPLAYER (WM_APP + 1)

HWND OwnWindow;

LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_CLOSEPLAYER)
        return DefWindowProcW(window, message, wParam, lParam);
    HWND player = (HWND)lParam;
    if (wParam == 1)
        SendMessageW(player, WM_CLOSE, 0, 0);
    else
        DestroyWindow(player);
    LOG("back");
    return 0;
}

void CloseFromOwnWindow(HWND player, LRESULT how) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = OwnWindowProc;
    windowClass.hInstance = GetModuleHandleW(L"tonquil.dll");
    windowClass.lpszClassName = L"TonquilDoubleWindow";
    RegisterClassExW(&windowClass);
    OwnWindow = CreateWindowExW(0, L"TonquilDoubleWindow", NULL, 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                                windowClass.hInstance, NULL);
    PostMessageW(OwnWindow, WM_CLOSEPLAYER, (WPARAM)how, (LPARAM)player);
}

} // namespace

extern "C" LRESULT CALLBACK DynamicWndProc(HWND player, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    bool main = GetWindowThreadProcessId(player, NULL) == GetCurrentThreadId();
    LOG("0x%X %ld %ld %s", message, (long)wParam, (long)lParam, main ? "main" : "other");
    if ((LRESULT)message == ReadAnswer(L"CloseOn", 0))
        SendMessageW(player, WM_CLOSE, 0, 0);
    switch (message) {
    case XM_INIT:
        InsertConfigured(player, L"InsertOnInit");
        return ReadAnswer(L"InitAnswer", 1);
    case XM_SHOWWINDOW:
        InsertConfigured(player, L"InsertOnShow");
        if (ReadAnswer(L"CloseFromWindow", 0))
            CloseFromOwnWindow(player, ReadAnswer(L"CloseFromWindow", 0));
        break;
    case XM_UNLOAD:
        LOG("tracks %d", CountEntries(player));
        if (OwnWindow)
            DestroyWindow(OwnWindow);
        OwnWindow = NULL;
        break;
    }
    return ReadAnswer(L"OtherAnswer", 0);
}
#else
extern "C" int WINAPI SomethingElse(void) {
    return 0;
}
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *) {
    if (reason == DLL_PROCESS_ATTACH) {
        DoubleFolder((const void *)instance, Folder, MAX_PATH);
        LOG("load");
    } else if (reason == DLL_PROCESS_DETACH) {
        LOG("unload");
    }
    return TRUE;
}
