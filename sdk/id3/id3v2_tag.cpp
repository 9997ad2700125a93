#include "tonquil_id3.h"

#include "id3_text.h"
#include "id3v2_frames.h"

#include <string.h>

#define ID3V2_HEADER_SIZE 10
#define FLAG_UNSYNCHRONISED 0x80
// In version 2 the same bit marks a compressed tag, which nothing can read.
#define FLAG_EXTENDED_HEADER 0x40

// The tag's size and the extended header's are syncsafe in every version,
// each byte taken whole: the largest, 538,984,575, leaves every position
// within a tag well inside a LONG.
static DWORD ReadSyncsafe(const BYTE *bytes) {
    return ((((DWORD)bytes[0] * 128u + bytes[1]) * 128u + bytes[2]) * 128u) + bytes[3];
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
    Id3Free(copy);
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
    ULONGLONG start = ID3V2_HEADER_SIZE;
    if (version >= 3 && (flags & FLAG_EXTENDED_HEADER)) {
        if (start + 4 > end)
            return NULL;
        start += 4 + (ULONGLONG)ReadSyncsafe(tag + ID3V2_HEADER_SIZE);
    }
    if (start >= end)
        return NULL;
    FRAMEAREA area = {tag + start, (LONG)(end - start), version, flags};
    return FindInArea(&area, frameId);
}
