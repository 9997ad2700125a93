#include "player/tags/id3.h"

#include <string.h>

#define ID3V2_HEADER_SIZE 10
#define FRAME_HEADER_SIZE 10
#define FLAG_UNSYNCHRONISED 0x80
#define FLAG_EXTENDED_HEADER 0x40

// The process heap straight, not the player's allocator: the window module
// links this unit too, and has the player's code nowhere.
static void *NewBlock(SIZE_T bytes) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

static void FreeBlock(void *block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

// Each byte is taken whole: no bit is masked. The largest value,
// 538,984,575, leaves every position within a tag well inside a LONG.
static DWORD ReadSyncsafe(const BYTE *bytes) {
    return ((((DWORD)bytes[0] * 128u + bytes[1]) * 128u + bytes[2]) * 128u) + bytes[3];
}

static WCHAR *ConvertBytes(UINT codePage, const BYTE *bytes, int count) {
    int length =
        count > 0 ? MultiByteToWideChar(codePage, 0, (const char *)bytes, count, NULL, 0) : 0;
    WCHAR *text = (WCHAR *)NewBlock(((SIZE_T)length + 1) * sizeof(WCHAR));
    if (text && length > 0)
        MultiByteToWideChar(codePage, 0, (const char *)bytes, count, text, length);
    return text;
}

static int CountUntilZero(const BYTE *bytes, int limit) {
    int count = 0;
    while (count < limit && bytes[count])
        ++count;
    return count;
}

static int IsBlank(WCHAR c) {
    return c == L' ' || c == L'\t';
}

// Removes leading and trailing blanks; frees the text and gives NULL when
// nothing is left.
static WCHAR *TrimBlanks(WCHAR *text) {
    if (!text)
        return NULL;
    int start = 0, end = lstrlenW(text);
    while (start < end && IsBlank(text[start]))
        ++start;
    while (end > start && IsBlank(text[end - 1]))
        --end;
    if (end == start) {
        FreeBlock(text);
        return NULL;
    }
    MoveMemory(text, text + start, (SIZE_T)(end - start) * sizeof(WCHAR));
    text[end - start] = 0;
    return text;
}

WCHAR *ParseId3v1Field(const BYTE *tag, int firstByte) {
    if (!tag || firstByte < 0 || firstByte + ID3V1_FIELD_SIZE > ID3V1_TAG_SIZE)
        return NULL;
    const BYTE *field = tag + firstByte;
    return TrimBlanks(ConvertBytes(CP_ACP, field, CountUntilZero(field, ID3V1_FIELD_SIZE)));
}

// UTF-16 little-endian whatever the byte-order mark says, which is dropped.
static WCHAR *ConvertUtf16(const BYTE *bytes, int count) {
    for (int skipped = 0; skipped < 2 && count > 0 && (bytes[0] == 0xFF || bytes[0] == 0xFE);
         ++skipped) {
        ++bytes;
        --count;
    }
    int units = 0;
    while (units * 2 < count) {
        BYTE high = units * 2 + 1 < count ? bytes[units * 2 + 1] : 0;
        if (bytes[units * 2] == 0 && high == 0)
            break;
        ++units;
    }
    WCHAR *text = (WCHAR *)NewBlock(((SIZE_T)units + 1) * sizeof(WCHAR));
    if (!text)
        return NULL;
    for (int i = 0; i < units; ++i) {
        BYTE high = i * 2 + 1 < count ? bytes[i * 2 + 1] : 0;
        text[i] = (WCHAR)(bytes[i * 2] | (high << 8));
    }
    return text;
}

// The text of one frame's data, or NULL for an encoding that is not known.
static WCHAR *FrameText(BYTE encoding, const BYTE *text, int count) {
    switch (encoding) {
    case 0:
        return ConvertBytes(CP_ACP, text, CountUntilZero(text, count));
    case 3:
        return ConvertBytes(CP_UTF8, text, CountUntilZero(text, count));
    case 1:
    case 2:
        return ConvertUtf16(text, count);
    default:
        return NULL;
    }
}

static int IsFrameIdStart(BYTE c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Every position and end is kept within the area: sizes are read as whole
// syncsafe numbers and may point anywhere.
WCHAR *FindId3v2Frame(const BYTE *area, LONG length, const char *frameId) {
    if (!area || !frameId || length <= 0 || !IsFrameIdStart(area[0]))
        return NULL;
    ULONGLONG position = 0, end = (ULONGLONG)length;
    while (position + FRAME_HEADER_SIZE <= end) {
        const BYTE *header = area + position;
        ULONGLONG size = ReadSyncsafe(header + 4);
        ULONGLONG data = position + FRAME_HEADER_SIZE;
        if (memcmp(header, frameId, 4) == 0 && size > 0 && data < end) {
            ULONGLONG dataEnd = data + size < end ? data + size : end;
            WCHAR *text = FrameText(area[data], area + data + 1, (int)(dataEnd - data - 1));
            if (text)
                return text;
        }
        position = data + size;
        while (position < end && area[position] == 0)
            ++position;
    }
    return NULL;
}

// A copy without the zero byte that follows each FF byte.
static BYTE *RemoveUnsynchronisation(const BYTE *area, LONG length, LONG *copyLength) {
    BYTE *copy = (BYTE *)NewBlock((SIZE_T)length);
    if (!copy)
        return NULL;
    LONG out = 0;
    for (LONG i = 0; i < length; ++i) {
        copy[out++] = area[i];
        if (area[i] == 0xFF && i + 1 < length && area[i + 1] == 0)
            ++i;
    }
    *copyLength = out;
    return copy;
}

WCHAR *ParseId3v2Frame(const BYTE *tag, const char *frameId) {
    if (!tag)
        return NULL;
    BYTE version = tag[3], flags = tag[5];
    ULONGLONG end = ID3V2_HEADER_SIZE + (ULONGLONG)ReadSyncsafe(tag + 6);
    ULONGLONG start = ID3V2_HEADER_SIZE;
    if (version >= 3 && (flags & FLAG_EXTENDED_HEADER)) {
        if (start + 4 > end)
            return NULL;
        start += 4 + (ULONGLONG)ReadSyncsafe(tag + ID3V2_HEADER_SIZE);
    }
    if (start >= end)
        return NULL;
    const BYTE *area = tag + start;
    LONG length = (LONG)(end - start);
    if (!(flags & FLAG_UNSYNCHRONISED))
        return FindId3v2Frame(area, length, frameId);
    LONG copyLength = 0;
    BYTE *copy = RemoveUnsynchronisation(area, length, &copyLength);
    WCHAR *text = copy ? FindId3v2Frame(copy, copyLength, frameId) : NULL;
    FreeBlock(copy);
    return text;
}

WCHAR *ParseTrackArtist(const BYTE *id3v1, const BYTE *id3v2) {
    WCHAR *artist = ParseId3v1Field(id3v1, ID3V1_ARTIST);
    return artist ? artist : ParseId3v2Frame(id3v2, "TPE1");
}

WCHAR *ParseTrackTitle(const BYTE *id3v1, const BYTE *id3v2) {
    WCHAR *title = ParseId3v1Field(id3v1, ID3V1_TITLE);
    return title ? title : ParseId3v2Frame(id3v2, "TIT2");
}
