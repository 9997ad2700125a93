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

const WCHAR *GetBaseName(const WCHAR *path) {
    const WCHAR *base = path;
    for (const WCHAR *c = path; *c; ++c)
        if (*c == L'\\')
            base = c + 1;
    return base;
}

int IsStringInList(const WCHAR *text, int count, const WCHAR *const *list) {
    for (int i = 0; i < count; ++i)
        if (lstrcmpW(text, list[i]) == 0)
            return 1;
    return 0;
}

int BuildModulePath(const WCHAR *name, WCHAR *path) {
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        path[0] = 0;
        return 0;
    }
    CutAfterLastBackslash(path);
    if (lstrlenW(path) + lstrlenW(name) >= MAX_PATH) {
        path[0] = 0;
        return 0;
    }
    lstrcatW(path, name);
    return 1;
}
