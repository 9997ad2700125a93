#include "player/core/paths.h"

void CutAfterLastBackslash(WCHAR *text) {
    WCHAR *last = NULL;
    for (WCHAR *c = text; *c; ++c)
        if (*c == L'\\')
            last = c;
    if (last)
        last[1] = 0;
}

void GetFileExtension(WCHAR *text) {
    WCHAR *dot = NULL;
    for (WCHAR *c = text; *c; ++c)
        if (*c == L'.')
            dot = c;
    if (dot && dot != text)
        MoveMemory(text, dot, (lstrlenW(dot) + 1) * sizeof(WCHAR));
}

// The names before the first dot that the system gives to devices.
static const WCHAR *const DeviceNames[] = {
    L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1", L"COM2", L"COM3",   L"COM4",
    L"COM5", L"COM6", L"COM7", L"COM8", L"COM9", L"LPT1", L"LPT2",   L"LPT3",
    L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8", L"LPT9", L"CONIN$", L"CONOUT$",
};

int IsDeviceName(const WCHAR *path) {
    if (path[0] == L'\\' && path[1] == L'\\' && path[2] == L'.' && path[3] == L'\\')
        return 1;
    WCHAR stem[16];
    const WCHAR *base = GetBaseName(path);
    int length = 0;
    while (base[length] && base[length] != L'.' && base[length] != L' ' && length < 15) {
        stem[length] = base[length];
        ++length;
    }
    stem[length] = 0;
    for (const WCHAR *name : DeviceNames)
        if (lstrcmpiW(stem, name) == 0)
            return 1;
    return 0;
}
