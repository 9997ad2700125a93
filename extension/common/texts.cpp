#include "extension/common/texts.h"

#include "extension/module_record.h"
#include "cue/cue_reference.h"

void LoadText(UINT id, WCHAR *buffer, int capacity) {
    if (capacity <= 0)
        return;
    buffer[0] = 0;
    LoadStringW(Module.Instance, id, buffer, capacity);
}

void FormatText(WCHAR *buffer, UINT id, ...) {
    WCHAR format[TEXT_SIZE];
    LoadText(id, format, TEXT_SIZE);
    va_list arguments;
    va_start(arguments, id);
    wvsprintfW(buffer, format, arguments);
    va_end(arguments);
}

void CopyPathFolder(const WCHAR *path, WCHAR *buffer, int capacity) {
    if (capacity <= 0)
        return;
    int length = (int)(GetBaseName(path) - path);
    if (length > 0)
        --length; // the backslash itself
    if (length >= capacity)
        length = capacity - 1;
    lstrcpynW(buffer, path, length + 1);
}

void CopyEntryName(const WCHAR *path, WCHAR *buffer, int capacity) {
    WCHAR sheet[MAX_PATH], numbered[16];
    int number;
    if (capacity <= 0)
        return;
    if (SplitCueReference(path, sheet, &number)) {
        wsprintfW(numbered, L"Track %02d", number);
        lstrcpynW(buffer, numbered, capacity);
    } else {
        lstrcpynW(buffer, GetBaseName(path), capacity);
    }
}

void CopyShortName(const WCHAR *path, WCHAR *buffer) {
    CopyEntryName(path, buffer, NAME_SIZE);
}

void FormatClock(LONG ms, WCHAR *text) {
    LONG seconds = ms > 0 ? ms / 1000 : 0;
    if (seconds >= 3600)
        wsprintfW(text, L"%ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        wsprintfW(text, L"%ld:%02ld", seconds / 60, seconds % 60);
}
