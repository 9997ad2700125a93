#include "id3v2_frames.h"

#include "id3_text.h"

#include <string.h>

// Flags of the second flag byte: version 3 puts what is added before the
// data in the high bits, version 4 in the low ones.
#define V3_COMPRESSED 0x80
#define V3_ENCRYPTED 0x40
#define V3_GROUPED 0x20
#define V4_GROUPED 0x40
#define V4_COMPRESSED 0x08
#define V4_ENCRYPTED 0x04
#define V4_UNSYNCHRONISED 0x02
#define V4_DATA_LENGTH 0x01
#define TAG_UNSYNCHRONISED 0x80
#define GROUP_BYTES 1
#define DATA_LENGTH_BYTES 4

struct FRAMELAYOUT {
    int IdSize;
    int HeaderSize;
    int SizeBytes;
};

struct FRAMEHEADER {
    ULONGLONG Data; // where the data starts
    ULONGLONG Next; // where the data ends by its size, which may lie anywhere
    BYTE Flags;
};

static FRAMELAYOUT LayoutOf(BYTE version) {
    return version == 2 ? FRAMELAYOUT{3, 6, 3} : FRAMELAYOUT{4, 10, 4};
}

// Syncsafe sizes take each byte whole (no bit masked), as they always have
// here; plain ones are big-endian numbers.
static ULONGLONG ReadSize(const BYTE *bytes, int count, int syncsafe) {
    ULONGLONG value = 0;
    for (int i = 0; i < count; ++i)
        value = value * (syncsafe ? 128u : 256u) + bytes[i];
    return value;
}

static int IsIdByte(BYTE c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

static int IsFrameId(const BYTE *id, int size) {
    for (int i = 0; i < size; ++i)
        if (!IsIdByte(id[i]))
            return 0;
    return 1;
}

static FRAMEHEADER ReadHeader(const FRAMEAREA *area, FRAMELAYOUT layout, ULONGLONG at,
                              int syncsafe) {
    const BYTE *header = area->Bytes + at;
    FRAMEHEADER read;
    read.Data = at + layout.HeaderSize;
    read.Next = read.Data + ReadSize(header + layout.IdSize, layout.SizeBytes, syncsafe);
    read.Flags = layout.HeaderSize == 10 ? header[9] : 0;
    return read;
}

static ULONGLONG PastZeros(const FRAMEAREA *area, ULONGLONG at) {
    while (at < (ULONGLONG)area->Length && area->Bytes[at] == 0)
        ++at;
    return at;
}

// Whether the frames, their sizes read so, follow each other to the area's
// end (or to zero padding that fills it) without one running past it.
static int WalksToEnd(const FRAMEAREA *area, FRAMELAYOUT layout, int syncsafe) {
    ULONGLONG end = (ULONGLONG)area->Length;
    for (ULONGLONG at = 0;; at = PastZeros(area, at)) {
        if (at >= end)
            return 1;
        if (at + layout.HeaderSize > end || !IsFrameId(area->Bytes + at, layout.IdSize))
            return 0;
        at = ReadHeader(area, layout, at, syncsafe).Next;
        if (at > end)
            return 0;
    }
}

// Version 3 sizes are plain and version 4 ones syncsafe, but old taggers
// wrote each kind with the other's: the reading whose frames walk to the
// tag's end wins. When neither does, the version's own reading is kept.
static int ReadsSyncsafe(const FRAMEAREA *area, FRAMELAYOUT layout) {
    if (area->Version == 2)
        return 0;
    int own = area->Version >= 4;
    return WalksToEnd(area, layout, own) || !WalksToEnd(area, layout, !own) ? own : !own;
}

// Bytes put before the data by the flags, or -1 for data that cannot be read
// here (compressed or encrypted).
static int AddedBytes(BYTE version, BYTE flags) {
    if (version == 3) {
        if (flags & (V3_COMPRESSED | V3_ENCRYPTED))
            return -1;
        return (flags & V3_GROUPED) ? GROUP_BYTES : 0;
    }
    if (version == 2)
        return 0;
    if (flags & (V4_COMPRESSED | V4_ENCRYPTED))
        return -1;
    return ((flags & V4_GROUPED) ? GROUP_BYTES : 0) +
           ((flags & V4_DATA_LENGTH) ? DATA_LENGTH_BYTES : 0);
}

static WCHAR *DataText(const BYTE *data, LONG count) {
    return count > 0 ? EncodedText(data[0], data + 1, (int)(count - 1)) : NULL;
}

// The data is cut at the area's end; nothing past it is read.
static WCHAR *FrameText(const FRAMEAREA *area, const FRAMEHEADER *frame) {
    ULONGLONG end = frame->Next < (ULONGLONG)area->Length ? frame->Next : area->Length;
    int added = AddedBytes(area->Version, frame->Flags);
    if (added < 0 || frame->Data + added >= end)
        return NULL;
    const BYTE *data = area->Bytes + frame->Data + added;
    LONG count = (LONG)(end - frame->Data - added);
    if (area->Version < 4 ||
        !((frame->Flags & V4_UNSYNCHRONISED) || (area->TagFlags & TAG_UNSYNCHRONISED)))
        return DataText(data, count);
    LONG copyLength = 0;
    BYTE *copy = RemoveUnsynchronisation(data, count, &copyLength);
    WCHAR *text = copy ? DataText(copy, copyLength) : NULL;
    HeapRelease(copy);
    return text;
}

WCHAR *FindFrameText(const FRAMEAREA *area, const char *frameId) {
    if (!area->Bytes || area->Length <= 0 || !IsIdByte(area->Bytes[0]))
        return NULL;
    FRAMELAYOUT layout = LayoutOf(area->Version);
    int syncsafe = ReadsSyncsafe(area, layout);
    ULONGLONG end = (ULONGLONG)area->Length;
    for (ULONGLONG at = 0; at + layout.HeaderSize <= end;) {
        FRAMEHEADER frame = ReadHeader(area, layout, at, syncsafe);
        if (memcmp(area->Bytes + at, frameId, (size_t)layout.IdSize) == 0) {
            WCHAR *text = FrameText(area, &frame);
            if (text)
                return text;
        }
        at = PastZeros(area, frame.Next);
    }
    return NULL;
}

BYTE *RemoveUnsynchronisation(const BYTE *bytes, LONG length, LONG *copyLength) {
    BYTE *copy = (BYTE *)HeapZeroAlloc((SIZE_T)length);
    if (!copy)
        return NULL;
    LONG out = 0;
    for (LONG i = 0; i < length; ++i) {
        copy[out++] = bytes[i];
        if (bytes[i] == 0xFF && i + 1 < length && bytes[i + 1] == 0)
            ++i;
    }
    *copyLength = out;
    return copy;
}
