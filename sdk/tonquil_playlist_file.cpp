#include "tonquil_playlist_file.h"

#include <string.h>

static void *ZeroBlock(SIZE_T bytes) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

// The whole file plus a terminating zero byte, or NULL; *size is what was
// read. Sync clients and scanners hold playlists open: share everything.
static char *ReadWholeFile(const WCHAR *path, DWORD *size) {
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    // The 64-bit size: a file of 4 GB and a few bytes is not a small file.
    LARGE_INTEGER length = {};
    char *bytes = NULL;
    if (GetFileSizeEx(file, &length) && length.QuadPart >= 0 &&
        length.QuadPart <= TONQUIL_LARGEST_PLAYLIST_BYTES)
        bytes = (char *)ZeroBlock((SIZE_T)length.QuadPart + 1);
    DWORD total = 0;
    while (bytes && total < (DWORD)length.QuadPart) {
        DWORD got = 0;
        if (!ReadFile(file, bytes + total, (DWORD)length.QuadPart - total, &got, NULL) || got == 0)
            break;
        total += got;
    }
    CloseHandle(file);
    *size = total;
    return bytes;
}

static WCHAR *DecodeAnsi(const char *bytes) {
    int length = MultiByteToWideChar(CP_ACP, 0, bytes, -1, NULL, 0);
    if (length <= 0)
        return NULL;
    WCHAR *text = (WCHAR *)ZeroBlock((SIZE_T)length * sizeof(WCHAR));
    if (text && !MultiByteToWideChar(CP_ACP, 0, bytes, -1, text, length)) {
        HeapFree(GetProcessHeap(), 0, text);
        return NULL;
    }
    return text;
}

// Each line is converted alone, so that bytes that are not UTF-8 (or a zero
// byte, which would end the text) spoil only their own line.
static WCHAR *DecodeUtf8Lines(const char *bytes, DWORD size) {
    // No UTF-8 sequence gives more UTF-16 units than it has bytes.
    WCHAR *text = (WCHAR *)ZeroBlock(((SIZE_T)size + 1) * sizeof(WCHAR));
    if (!text)
        return NULL;
    DWORD at = 0, used = 0;
    for (;;) {
        const char *line = bytes + at;
        const char *end = (const char *)memchr(line, '\n', size - at);
        DWORD length = end ? (DWORD)(end - line) : size - at;
        if (length && !memchr(line, 0, length)) {
            int got = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line, (int)length,
                                          text + used, (int)(size + 1 - used));
            if (got > 0)
                used += (DWORD)got;
        }
        if (!end)
            break;
        text[used++] = L'\n';
        at += length + 1;
    }
    text[used] = 0; // a refused conversion may have left characters past it
    return text;
}

WCHAR *ReadPlaylistText(const WCHAR *path) {
    if (!path)
        return NULL;
    DWORD size = 0;
    char *bytes = ReadWholeFile(path, &size);
    if (!bytes)
        return NULL;
    static const char Mark[] = "\xEF\xBB\xBF";
    WCHAR *text = size >= 3 && memcmp(bytes, Mark, 3) == 0 ? DecodeUtf8Lines(bytes + 3, size - 3)
                                                           : DecodeAnsi(bytes);
    HeapFree(GetProcessHeap(), 0, bytes);
    return text;
}

WCHAR *TakePlaylistLine(WCHAR **cursor) {
    WCHAR *line = *cursor;
    if (!line)
        return NULL;
    WCHAR *end = line;
    while (*end && *end != L'\n')
        ++end;
    int more = *end == L'\n';
    *cursor = more ? end + 1 : NULL;
    // Only a carriage return goes before a line feed: files with bare line
    // feeds read as well as CR LF ones.
    if (more && end > line && end[-1] == L'\r')
        --end;
    *end = 0;
    return line;
}
