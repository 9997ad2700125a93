#include "tonquil_id3.h"

#include "id3_text.h"
#include "id3v2_frames.h"

#include <string.h>

#define ID3V2_HEADER_SIZE 10
#define FLAG_UNSYNCHRONISED 0x80
// In version 2 the same bit marks a compressed tag, which nothing can read.
#define FLAG_EXTENDED_HEADER 0x40
#define EXTENDED_SIZE_BYTES 4

// The tag's size is syncsafe in every version, each byte taken whole: the
// largest, 538,984,575, leaves every position within a tag well inside a LONG.
static DWORD ReadSyncsafe(const BYTE *bytes) {
    return ((((DWORD)bytes[0] * 128u + bytes[1]) * 128u + bytes[2]) * 128u) + bytes[3];
}

static DWORD ReadPlain(const BYTE *bytes) {
    return (DWORD)bytes[0] << 24 | (DWORD)bytes[1] << 16 | (DWORD)bytes[2] << 8 | bytes[3];
}

// Where the frames start after the extended header, or 0 when its size bytes
// do not fit in the tag. Version 3 gives the size as a plain number that
// leaves out its own four bytes; version 4 gives it syncsafe, those bytes
// included, so a size below four cannot be and gives 0 too.
static ULONGLONG FramesAfterExtendedHeader(const BYTE *tag, BYTE version, ULONGLONG end) {
    const ULONGLONG start = ID3V2_HEADER_SIZE;
    if (start + EXTENDED_SIZE_BYTES > end)
        return 0;
    const BYTE *size = tag + ID3V2_HEADER_SIZE;
    if (version == 3)
        return start + EXTENDED_SIZE_BYTES + ReadPlain(size);
    DWORD whole = ReadSyncsafe(size);
    return whole < EXTENDED_SIZE_BYTES ? 0 : start + whole;
}

// The three-letter id a version 2 tag gives the frame, or NULL.
static const char *Version2Id(const char *frameId) {
    static const char *const names[][2] = {{"TIT2", "TT2"}, {"TPE1", "TP1"}};
    for (const auto &name : names)
        if (strcmp(frameId, name[0]) == 0)
            return name[1];
    return NULL;
}

// Versions 2 and 3 unsynchronise the whole tag, frame headers included;
// version 4 does it frame by frame, which the frame walk undoes.
static WCHAR *FindInArea(FRAMEAREA *area, const char *frameId) {
    if (area->Version >= 4 || !(area->TagFlags & FLAG_UNSYNCHRONISED))
        return FindFrameText(area, frameId);
    LONG copyLength = 0;
    BYTE *copy = RemoveUnsynchronisation(area->Bytes, area->Length, &copyLength);
    if (!copy)
        return NULL;
    area->Bytes = copy;
    area->Length = copyLength;
    WCHAR *text = FindFrameText(area, frameId);
    HeapRelease(copy);
    return text;
}

WCHAR *ParseId3v2Frame(const BYTE *tag, const char *frameId) {
    if (!tag || !frameId || tag[3] < 2)
        return NULL;
    BYTE version = tag[3] > 4 ? 4 : tag[3], flags = tag[5];
    if (version == 2) {
        frameId = Version2Id(frameId);
        if (!frameId || (flags & FLAG_EXTENDED_HEADER))
            return NULL;
    }
    ULONGLONG end = ID3V2_HEADER_SIZE + (ULONGLONG)ReadSyncsafe(tag + 6);
    ULONGLONG start = version >= 3 && (flags & FLAG_EXTENDED_HEADER)
                          ? FramesAfterExtendedHeader(tag, version, end)
                          : ID3V2_HEADER_SIZE;
    if (start == 0 || start >= end)
        return NULL;
    FRAMEAREA area = {tag + start, (LONG)(end - start), version, flags};
    return FindInArea(&area, frameId);
}
