#include "tonquil_playlist_file.h"

#include "tonquil_heap.h"

#include <string.h>

enum PLAYLIST_ENCODING { ENCODING_ANSI, ENCODING_UTF8, ENCODING_UTF16LE, ENCODING_UTF16BE };

// Where decoded lines go; no line gives more UTF-16 units than it has bytes.
struct DECODED_TEXT {
    WCHAR *Text;
    DWORD Used;
    DWORD Room;
    int MarkDamaged;
};

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
        bytes = (char *)HeapZeroAlloc((SIZE_T)length.QuadPart + 1);
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

static void PutDamaged(DECODED_TEXT *out) {
    if (out->MarkDamaged)
        out->Text[out->Used++] = TONQUIL_DAMAGED_LINE;
}

static WCHAR Utf16Unit(const char *bytes, int bigEndian) {
    BYTE first = (BYTE)bytes[0], second = (BYTE)bytes[1];
    return bigEndian ? (WCHAR)(first << 8 | second) : (WCHAR)(second << 8 | first);
}

// No zero, and every surrogate in a pair.
static int IsWholeUtf16(const WCHAR *text, DWORD length) {
    for (DWORD i = 0; i < length; ++i) {
        if (!text[i] || (text[i] >= 0xDC00 && text[i] <= 0xDFFF))
            return 0;
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
            if (i + 1 == length || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return 0;
            ++i;
        }
    }
    return 1;
}

static void DecodeUtf16Line(const char *line, DWORD length, int bigEndian, DECODED_TEXT *out) {
    WCHAR *to = out->Text + out->Used;
    DWORD units = length / 2;
    for (DWORD i = 0; i < units; ++i)
        to[i] = Utf16Unit(line + 2 * i, bigEndian);
    if (length % 2 || !IsWholeUtf16(to, units))
        PutDamaged(out);
    else
        out->Used += units;
}

static void DecodeByteLine(const char *line, DWORD length, UINT codePage, DECODED_TEXT *out) {
    DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    int got = memchr(line, 0, length)
                  ? 0
                  : MultiByteToWideChar(codePage, flags, line, (int)length, out->Text + out->Used,
                                        (int)(out->Room - out->Used));
    if (got > 0)
        out->Used += (DWORD)got;
    else
        PutDamaged(out);
}

// The offset of the next line feed at or after at, or size when none.
static DWORD FindLineFeed(const char *bytes, DWORD size, DWORD at, PLAYLIST_ENCODING encoding) {
    if (encoding == ENCODING_ANSI || encoding == ENCODING_UTF8) {
        const char *end = (const char *)memchr(bytes + at, '\n', size - at);
        return end ? (DWORD)(end - bytes) : size;
    }
    for (; at + 1 < size; at += 2)
        if (Utf16Unit(bytes + at, encoding == ENCODING_UTF16BE) == L'\n')
            return at;
    return size;
}

// Each line is decoded alone, so that a damaged one (or a zero, which would
// end the text) spoils only itself.
static WCHAR *DecodeLines(const char *bytes, DWORD size, PLAYLIST_ENCODING encoding,
                          int markDamaged) {
    DECODED_TEXT out = {(WCHAR *)HeapZeroAlloc(((SIZE_T)size + 1) * sizeof(WCHAR)), 0, size + 1,
                        markDamaged};
    if (!out.Text)
        return NULL;
    DWORD unit = encoding == ENCODING_UTF16LE || encoding == ENCODING_UTF16BE ? 2 : 1;
    for (DWORD at = 0;;) {
        DWORD end = FindLineFeed(bytes, size, at, encoding);
        if (end > at && unit == 2)
            DecodeUtf16Line(bytes + at, end - at, encoding == ENCODING_UTF16BE, &out);
        else if (end > at)
            DecodeByteLine(bytes + at, end - at, encoding == ENCODING_UTF8 ? CP_UTF8 : CP_ACP,
                           &out);
        if (end == size)
            break;
        out.Text[out.Used++] = L'\n';
        at = end + unit;
    }
    out.Text[out.Used] = 0; // a refused line may have left characters past it
    return out.Text;
}

static PLAYLIST_ENCODING FindEncoding(const char *bytes, DWORD size, DWORD *markSize,
                                      PLAYLIST_ENCODING unmarked) {
    static const struct {
        const char *Mark;
        DWORD Size;
        PLAYLIST_ENCODING Encoding;
    } Marks[] = {{"\xEF\xBB\xBF", 3, ENCODING_UTF8},
                 {"\xFF\xFE", 2, ENCODING_UTF16LE},
                 {"\xFE\xFF", 2, ENCODING_UTF16BE}};
    for (const auto &mark : Marks)
        if (size >= mark.Size && memcmp(bytes, mark.Mark, mark.Size) == 0) {
            *markSize = mark.Size;
            return mark.Encoding;
        }
    *markSize = 0;
    return unmarked;
}

static WCHAR *ReadPlaylist(const WCHAR *path, int markDamaged, PLAYLIST_ENCODING unmarked) {
    if (!path)
        return NULL;
    DWORD size = 0, markSize = 0;
    char *bytes = ReadWholeFile(path, &size);
    if (!bytes)
        return NULL;
    PLAYLIST_ENCODING encoding = FindEncoding(bytes, size, &markSize, unmarked);
    // An ANSI text ends at its first zero byte, as such texts do.
    if (encoding == ENCODING_ANSI && !markDamaged)
        size = (DWORD)strlen(bytes);
    WCHAR *text = DecodeLines(bytes + markSize, size - markSize, encoding, markDamaged);
    HeapRelease(bytes);
    return text;
}

WCHAR *ReadPlaylistText(const WCHAR *path) {
    return ReadPlaylist(path, 0, ENCODING_ANSI);
}

WCHAR *ReadUtf8PlaylistText(const WCHAR *path) {
    return ReadPlaylist(path, 0, ENCODING_UTF8);
}

WCHAR *ReadPlaylistTextMarked(const WCHAR *path) {
    return ReadPlaylist(path, 1, ENCODING_ANSI);
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
