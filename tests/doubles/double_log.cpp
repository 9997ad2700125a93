#include "double_log.h"

#include <stdarg.h>
#include <stdio.h>

void DoubleFolder(const void *address, WCHAR *folder, DWORD capacity) {
    HMODULE module = NULL;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCWSTR)address, &module);
    DWORD length = GetModuleFileNameW(module, folder, capacity);
    if (length == 0 || length >= capacity) {
        folder[0] = 0;
        return;
    }
    WCHAR *slash = wcsrchr(folder, L'\\');
    if (slash)
        slash[1] = 0;
}

void DoubleLog(const WCHAR *folder, const WCHAR *name, const char *format, ...) {
    WCHAR path[MAX_PATH];
    if (_snwprintf(path, MAX_PATH, L"%ls%ls", folder, name) < 0)
        return;
    path[MAX_PATH - 1] = 0;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char line[2048];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(line, sizeof line - 2, format, args);
    va_end(args);
    if (length < 0)
        length = 0;
    if (length > (int)sizeof line - 3)
        length = (int)sizeof line - 3;
    line[length++] = '\r';
    line[length++] = '\n';
    DWORD written = 0;
    WriteFile(file, line, (DWORD)length, &written, NULL);
    CloseHandle(file);
}
