// A recording stand-in for the extension module tonquil.dll. Every call of
// DynamicWndProc is written to extension-calls.log beside it (when the file
// exists) as "message wParam lParam thread", thread being "main" when the
// call comes on the player window's own thread. extension-double.ini beside
// it sets its behaviour, section "Double":
//   InitAnswer   the answer to XM_INIT (default 1)
//   OtherAnswer  the answer to every other notification (default 0)
//   CloseOn      a notification during which it sends WM_CLOSE to the player
//   InsertOnInit / InsertOnShow   a path it inserts with CM_INSERTTRACK
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
        break;
    case XM_UNLOAD:
        LOG("tracks %d", CountEntries(player));
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
