#include "cue/cue_files.h"

#include "cue/cue_embedded.h"
#include "cue/cue_input.h"
#include "cue/cue_reference.h"
#include "formats/file_formats.h"
#include "tonquil_heap.h"

namespace {

bool IsFile(const WCHAR *path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsAbsolute(const WCHAR *name) {
    return name[0] == L'\\' || (name[0] && name[1] == L':');
}

// The sheet's folder and the name, with '/' turned into '\'.
bool JoinPath(const WCHAR *sheetPath, const WCHAR *name, WCHAR *out) {
    int folder = 0;
    if (!IsAbsolute(name))
        for (int i = 0; sheetPath[i]; ++i)
            if (sheetPath[i] == L'\\' || sheetPath[i] == L'/')
                folder = i + 1;
    int length = lstrlenW(name);
    if (folder + length >= MAX_PATH)
        return false;
    CopyMemory(out, sheetPath, (SIZE_T)folder * sizeof(WCHAR));
    for (int i = 0; i <= length; ++i)
        out[folder + i] = name[i] == L'/' ? L'\\' : name[i];
    return true;
}

// The last '.' of the file's own name, or its end.
WCHAR *ExtensionOf(WCHAR *path) {
    WCHAR *dot = NULL;
    for (WCHAR *at = path; *at; ++at)
        if (*at == L'.')
            dot = at;
        else if (*at == L'\\')
            dot = NULL;
    return dot ? dot : path + lstrlenW(path);
}

bool Playable(const WCHAR *sheetPath, const WCHAR *path) {
    return !IsCueSheetPath(path) && lstrcmpiW(path, sheetPath) != 0 && IsFile(path);
}

} // namespace

int ReadCueSheetFile(const WCHAR *path, CUESHEET *sheet) {
    if (!IsCueSheetPath(path))
        return ReadEmbeddedCueSheet(path, sheet);
    ZeroMemory(sheet, sizeof *sheet);
    HANDLE file = OpenCueInput(path);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    LARGE_INTEGER size;
    BYTE *bytes = NULL;
    DWORD read = 0;
    if (GetFileSizeEx(file, &size) && size.QuadPart <= CUE_LARGEST_SHEET_BYTES)
        bytes = (BYTE *)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)size.QuadPart + 1);
    bool whole = bytes && ReadFile(file, bytes, (DWORD)size.QuadPart, &read, NULL) &&
                 read == (DWORD)size.QuadPart;
    CloseHandle(file);
    int tracks = whole ? ParseCueSheet(bytes, read, CP_ACP, sheet) : 0;
    if (bytes)
        HeapRelease(bytes);
    return tracks;
}

int ResolveCueFile(const WCHAR *sheetPath, const WCHAR *name, WCHAR *out) {
    // An embedded sheet's FILE named what became the image itself.
    if (!IsCueSheetPath(sheetPath)) {
        lstrcpynW(out, sheetPath, MAX_PATH);
        return MayEmbedCueSheet(sheetPath) && IsFile(out);
    }
    if (!name[0] || !JoinPath(sheetPath, name, out))
        return 0;
    if (Playable(sheetPath, out))
        return 1;
    WCHAR *extension = ExtensionOf(out);
    // The table lists lossless images first, the likeliest for a sheet.
    for (int i = 0; FileFormatAt(i); ++i) {
        const WCHAR *candidate = FileFormatAt(i)->Extension;
        if ((extension - out) + lstrlenW(candidate) >= MAX_PATH)
            continue;
        lstrcpyW(extension, candidate);
        if (Playable(sheetPath, out))
            return 1;
    }
    return 0;
}
