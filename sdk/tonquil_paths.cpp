#include "tonquil_paths.h"

const WCHAR *GetBaseName(const WCHAR *path) {
    const WCHAR *base = path;
    for (const WCHAR *c = path; *c; ++c)
        if (*c == L'\\')
            base = c + 1;
    return base;
}

int BuildPathBeside(HMODULE module, const WCHAR *name, WCHAR *path) {
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    int folder = length > 0 && length < MAX_PATH ? (int)(GetBaseName(path) - path) : 0;
    if (folder == 0 || folder + lstrlenW(name) >= MAX_PATH) {
        path[0] = 0;
        return 0;
    }
    lstrcpyW(path + folder, name);
    return 1;
}

int BuildModulePath(const WCHAR *name, WCHAR *path) {
    return BuildPathBeside(NULL, name, path);
}
