#include "extension/window/window_settings.h"

#include "tonquil_extension.h"

#include "extension/files/plain_copy.h"
#include "extension/common/texts.h"

#define SECTION L"Window"
#define LARGEST_SIDE 100000
#define LARGEST_COLUMN 4000
#define SMALLEST_WINDOW 100

PROFILEWRITEPROC ProfileWriteCall = WritePrivateProfileStringW;

// By the columns' subitem numbers.
static const WCHAR *const ColumnKeys[PLAYLIST_COLUMNS] = {
    L"NumberWidth", L"NameWidth", L"FolderWidth", L"ArtistWidth", L"LengthWidth"};

// A decimal integer, optionally negative, with nothing else around it.
static int ParseInteger(const WCHAR *text, int *value) {
    int negative = *text == L'-';
    if (negative)
        ++text;
    if (!*text)
        return 0;
    long long number = 0;
    for (; *text; ++text) {
        if (*text < L'0' || *text > L'9')
            return 0;
        number = number * 10 + (*text - L'0');
        if (number > LARGEST_SIDE)
            return 0;
    }
    *value = (int)(negative ? -number : number);
    return 1;
}

// The key's value when it is there and lies in [low, high]; else fallback.
static int ReadInteger(const WCHAR *path, const WCHAR *key, int low, int high, int fallback,
                       int *found) {
    WCHAR text[32];
    int value;
    GetPrivateProfileStringW(SECTION, key, L"", text, 32, path);
    if (!ParseInteger(text, &value) || value < low || value > high) {
        if (found)
            *found = 0;
        return fallback;
    }
    return value;
}

void ReadWindowSettings(WINDOW_SETTINGS *settings) {
    ZeroMemory(settings, sizeof *settings);
    settings->MediaKeys = 1;
    WCHAR path[MAX_PATH];
    if (!BuildModulePath(TQ_SETTINGS_FILE, path))
        return;
    int found = 1;
    RECT *place = &settings->Place;
    place->left = ReadInteger(path, L"Left", -LARGEST_SIDE, LARGEST_SIDE, 0, &found);
    place->top = ReadInteger(path, L"Top", -LARGEST_SIDE, LARGEST_SIDE, 0, &found);
    place->right = ReadInteger(path, L"Right", -LARGEST_SIDE, LARGEST_SIDE, 0, &found);
    place->bottom = ReadInteger(path, L"Bottom", -LARGEST_SIDE, LARGEST_SIDE, 0, &found);
    settings->HasPlace = found && place->right - place->left >= SMALLEST_WINDOW &&
                         place->bottom - place->top >= SMALLEST_WINDOW;
    settings->Maximized = ReadInteger(path, L"Maximized", 0, 1, 0, NULL);
    for (int column = 0; column < PLAYLIST_COLUMNS; ++column)
        settings->ColumnWidths[column] =
            ReadInteger(path, ColumnKeys[column], 0, LARGEST_COLUMN, 0, NULL);
    settings->MediaKeys = ReadInteger(path, L"MediaKeys", 0, 1, 1, NULL);
}

static int WriteInteger(const WCHAR *path, const WCHAR *key, int value) {
    WCHAR text[32];
    wsprintfW(text, L"%d", value);
    return ProfileWriteCall(SECTION, key, text, path) != FALSE;
}

// Stops at the first key that fails: the rest would find the same full disk.
static int WriteKeys(const WCHAR *path, const WINDOW_SETTINGS *settings) {
    if (settings->HasPlace && !(WriteInteger(path, L"Left", settings->Place.left) &&
                                WriteInteger(path, L"Top", settings->Place.top) &&
                                WriteInteger(path, L"Right", settings->Place.right) &&
                                WriteInteger(path, L"Bottom", settings->Place.bottom) &&
                                WriteInteger(path, L"Maximized", settings->Maximized)))
        return 0;
    for (int column = 0; column < PLAYLIST_COLUMNS; ++column)
        if (!WriteInteger(path, ColumnKeys[column], settings->ColumnWidths[column]))
            return 0;
    return WriteInteger(path, L"MediaKeys", settings->MediaKeys);
}

// The profile functions write the whole file at each key, and a disk that
// fills part-way leaves it cut, the player's own sections with it. So the
// keys go into a copy, which replaces tonquil.ini only when every key is in.
int WriteWindowSettings(const WINDOW_SETTINGS *settings) {
    WCHAR path[MAX_PATH], copy[MAX_PATH];
    if (!BuildModulePath(TQ_SETTINGS_FILE, path) || !BuildModulePath(L"tonquil.ini.tmp", copy) ||
        IsReadOnlyFile(path))
        return 0;
    // Without a settings file the copy starts empty.
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        DeleteFileW(copy);
    else if (!CopyAsPlainFile(path, copy))
        return 0;
    int written = WriteKeys(copy, settings);
    // Once, at the end: the cached profile goes to the disk. Its result tells
    // nothing (Wine always gives FALSE); the replacement below does.
    ProfileWriteCall(NULL, NULL, NULL, copy);
    if (written && MoveFileExW(copy, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 1;
    DeleteFileW(copy);
    return 0;
}
