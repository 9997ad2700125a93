#include "cue/cue_embedded.h"
#include "cue/cue_input.h"

#include "tonquil_heap.h"

#include <string.h>

namespace {

// A FLAC file's metadata is a chain of blocks; a file with more than this is
// damaged, and the walk stops rather than follow it.
const int LargestFlacBlockCount = 1024;
const BYTE FlacStreamInfo = 0;
const BYTE FlacVorbisComment = 4;
const BYTE FlacCueSheet = 5;
// The binary CUESHEET block: a fixed head, then each track's fixed part and
// its index points.
const DWORD FlacSheetHead = 396;
const DWORD FlacSheetTrack = 36;
const DWORD FlacSheetIndex = 12;
const DWORD ApeFooterSize = 32;
const DWORD Id3v1Size = 128;

DWORD Le32(const BYTE *bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | (DWORD)bytes[3] << 24;
}

ULONGLONG Be64(const BYTE *bytes) {
    ULONGLONG value = 0;
    for (int i = 0; i < 8; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// An image being read, with its first bytes at hand: a playlist of FLAC
// files looks into each, and its metadata blocks mostly lie within them, so
// most files take one read.
struct ImageFile {
    HANDLE File;
    ULONGLONG Size;
    DWORD HeadSize;
    BYTE Head[4096];
};

bool ReadAt(ImageFile *image, ULONGLONG offset, void *buffer, DWORD count) {
    if (offset + count <= image->HeadSize) {
        CopyMemory(buffer, image->Head + offset, count);
        return true;
    }
    HANDLE file = image->File;
    LARGE_INTEGER at;
    at.QuadPart = (LONGLONG)offset;
    DWORD read = 0;
    return SetFilePointerEx(file, at, NULL, FILE_BEGIN) &&
           ReadFile(file, buffer, count, &read, NULL) && read == count;
}

// count bytes at offset from the heap, or NULL.
BYTE *ReadBlock(ImageFile *image, ULONGLONG offset, DWORD count) {
    BYTE *bytes = count ? (BYTE *)HeapAlloc(GetProcessHeap(), 0, count) : NULL;
    if (bytes && !ReadAt(image, offset, bytes, count)) {
        HeapRelease(bytes);
        return NULL;
    }
    return bytes;
}

bool SameKey(const BYTE *key, DWORD length, const char *name) {
    for (DWORD i = 0; i < length; ++i) {
        char a = (char)key[i], b = name[i];
        if (!b || (a >= 'a' && a <= 'z' ? a - 32 : a) != (b >= 'a' && b <= 'z' ? b - 32 : b))
            return false;
    }
    return name[length] == 0;
}

// An embedded sheet names the file it was made for, which is now the image
// itself: one FILE only, or its tracks' bounds would mix several files.
int ParseSheetText(const BYTE *text, DWORD size, CUESHEET *sheet) {
    if (size > CUE_LARGEST_SHEET_BYTES)
        return 0;
    int tracks = ParseCueSheet(text, size, CP_UTF8, sheet);
    return tracks && sheet->FileCount == 1 ? tracks : 0;
}

// The CUESHEET comment of a Vorbis comment block: a vendor string, then a
// count of "KEY=value" comments, each after its length.
int SheetOfVorbisComments(const BYTE *block, DWORD size, CUESHEET *sheet) {
    if (size < 4 || Le32(block) > size - 4)
        return 0;
    DWORD at = 4 + Le32(block);
    if (size - at < 4)
        return 0;
    DWORD count = Le32(block + at);
    at += 4;
    for (DWORD i = 0; i < count && size - at >= 4; ++i) {
        DWORD length = Le32(block + at);
        at += 4;
        if (length > size - at)
            return 0;
        const BYTE *comment = block + at;
        at += length;
        const DWORD key = 8; // "CUESHEET", in any case, then '='
        if (length > key && SameKey(comment, key, "CUESHEET") && comment[key] == '=')
            return ParseSheetText(comment + key + 1, length - key - 1, sheet);
    }
    return 0;
}

// A track's INDEX 01 from its index points, in samples from the track's
// offset; false when it has none.
bool FirstIndex(const BYTE *points, BYTE count, ULONGLONG *offset) {
    for (BYTE i = 0; i < count; ++i)
        if (points[i * FlacSheetIndex + 8] == 1) {
            *offset = Be64(points + i * FlacSheetIndex);
            return true;
        }
    return false;
}

// The binary CUESHEET block states each track's offset in samples and no
// names: its tracks are "Track NN", bounded as a sheet's text would bound
// them. The lead-out (number 170 on a CD, 255 otherwise) ends the last one
// at the file's end.
int SheetOfFlacBlock(const BYTE *block, DWORD size, DWORD rate, CUESHEET *sheet) {
    if (size < FlacSheetHead || rate == 0)
        return 0;
    ZeroMemory(sheet, sizeof *sheet);
    sheet->FileCount = 1;
    lstrcpyW(sheet->Files[0], L"image");
    DWORD at = FlacSheetHead;
    for (BYTE i = 0; i < block[FlacSheetHead - 1] && size - at >= FlacSheetTrack; ++i) {
        const BYTE *track = block + at;
        BYTE number = track[8], points = track[FlacSheetTrack - 1];
        at += FlacSheetTrack;
        if ((ULONGLONG)points * FlacSheetIndex > size - at)
            break;
        ULONGLONG index, start;
        at += points * FlacSheetIndex;
        if (number == 0 || number > CUE_MAX_TRACKS ||
            !FirstIndex(track + FlacSheetTrack, points, &index))
            continue;
        start = (Be64(track) + index) * CUE_FRAMES_PER_SECOND / rate;
        CUETRACK *last = sheet->TrackCount ? &sheet->Tracks[sheet->TrackCount - 1] : NULL;
        if (start > CUE_LARGEST_OFFSET || (last && start <= last->Start) ||
            sheet->TrackCount == CUE_MAX_TRACKS)
            continue;
        if (last)
            last->End = (DWORD)start;
        CUETRACK *next = &sheet->Tracks[sheet->TrackCount++];
        next->Number = number;
        next->Start = (DWORD)start;
        next->End = CUE_TO_FILE_END;
    }
    return sheet->TrackCount;
}

// The Vorbis comment's sheet, which names the tracks, goes before the binary
// block's.
int ReadFlacSheet(ImageFile *image, CUESHEET *sheet) {
    ULONGLONG fileSize = image->Size;
    ULONGLONG at = 4, sheetBlock = 0;
    DWORD rate = 0, sheetSize = 0;
    for (int block = 0; block < LargestFlacBlockCount && at + 4 <= fileSize; ++block) {
        BYTE header[4];
        if (!ReadAt(image, at, header, sizeof header))
            return 0;
        DWORD length = (DWORD)header[1] << 16 | header[2] << 8 | header[3];
        at += 4;
        if (length > fileSize - at)
            return 0;
        BYTE type = header[0] & 0x7F, info[13];
        if (type == FlacStreamInfo && length >= sizeof info && ReadAt(image, at, info, sizeof info))
            rate = (DWORD)info[10] << 12 | info[11] << 4 | info[12] >> 4;
        if (type == FlacCueSheet) {
            sheetBlock = at;
            sheetSize = length;
        }
        if (type == FlacVorbisComment) {
            BYTE *body = ReadBlock(image, at, length);
            int tracks = body ? SheetOfVorbisComments(body, length, sheet) : 0;
            HeapRelease(body);
            if (tracks)
                return tracks;
        }
        at += length;
        if (header[0] & 0x80)
            break;
    }
    BYTE *body = sheetBlock ? ReadBlock(image, sheetBlock, sheetSize) : NULL;
    int tracks = body ? SheetOfFlacBlock(body, sheetSize, rate, sheet) : 0;
    HeapRelease(body);
    return tracks;
}

// The "Cuesheet" item of an APEv2 tag's items: each a value's length and
// flags, a key ending in a zero, then the value. Only text values count.
int SheetOfApeItems(const BYTE *items, DWORD size, DWORD count, CUESHEET *sheet) {
    DWORD at = 0;
    for (DWORD i = 0; i < count && size - at >= 9; ++i) {
        DWORD length = Le32(items + at), flags = Le32(items + at + 4);
        DWORD key = at + 8, end = key;
        while (end < size && items[end])
            ++end;
        if (end == size || length > size - end - 1)
            return 0;
        at = end + 1 + length;
        if ((flags & 6) == 0 && SameKey(items + key, end - key, "Cuesheet"))
            return ParseSheetText(items + end + 1, length, sheet);
    }
    return 0;
}

// The footer ends the file, or stands just before an ID3v1 tag.
int ReadApeSheet(ImageFile *image, CUESHEET *sheet) {
    ULONGLONG fileSize = image->Size;
    BYTE footer[ApeFooterSize];
    const DWORD afters[] = {0, Id3v1Size};
    for (DWORD after : afters) {
        if (fileSize < ApeFooterSize + after)
            break;
        ULONGLONG footerAt = fileSize - after - ApeFooterSize;
        if (!ReadAt(image, footerAt, footer, sizeof footer) || memcmp(footer, "APETAGEX", 8) != 0)
            continue;
        DWORD tagSize = Le32(footer + 12), count = Le32(footer + 16);
        // The tag's size counts its items and this footer.
        if (tagSize < ApeFooterSize || tagSize - ApeFooterSize > footerAt ||
            tagSize - ApeFooterSize > 2 * CUE_LARGEST_SHEET_BYTES)
            return 0;
        DWORD itemsSize = tagSize - ApeFooterSize;
        BYTE *items = ReadBlock(image, footerAt - itemsSize, itemsSize);
        int tracks = items ? SheetOfApeItems(items, itemsSize, count, sheet) : 0;
        HeapRelease(items);
        return tracks;
    }
    return 0;
}

bool IsFlacPath(const WCHAR *extension) {
    return lstrcmpiW(extension, L".flac") == 0 || lstrcmpiW(extension, L".fla") == 0;
}

const WCHAR *ExtensionOf(const WCHAR *path) {
    const WCHAR *dot = NULL;
    for (const WCHAR *at = path; *at; ++at)
        if (*at == L'.')
            dot = at;
        else if (*at == L'\\')
            dot = NULL;
    return dot ? dot : L"";
}

} // namespace

int MayEmbedCueSheet(const WCHAR *path) {
    const WCHAR *extension = ExtensionOf(path);
    return IsFlacPath(extension) || lstrcmpiW(extension, L".ape") == 0 ||
           lstrcmpiW(extension, L".wv") == 0 || lstrcmpiW(extension, L".tta") == 0 ||
           lstrcmpiW(extension, L".tak") == 0;
}

int ReadEmbeddedCueSheetFrom(HANDLE file, const WCHAR *path, ULONGLONG size, CUESHEET *sheet) {
    if (!MayEmbedCueSheet(path))
        return 0;
    ImageFile *image = (ImageFile *)HeapAlloc(GetProcessHeap(), 0, sizeof(ImageFile));
    if (!image)
        return 0;
    LARGE_INTEGER stated;
    image->File = file;
    image->Size = size;
    image->HeadSize = 0;
    int tracks = 0;
    if (!IsFlacPath(ExtensionOf(path))) {
        if (!size && GetFileSizeEx(file, &stated))
            image->Size = (ULONGLONG)stated.QuadPart;
        tracks = ReadApeSheet(image, sheet);
    } else if (ReadFile(file, image->Head, sizeof image->Head, &image->HeadSize, NULL) &&
               image->HeadSize >= 4 && memcmp(image->Head, "fLaC", 4) == 0) {
        // A head shorter than asked for is the whole file; beyond it, a block
        // that runs past the end fails its read.
        if (!size)
            image->Size = image->HeadSize < sizeof image->Head ? image->HeadSize : ~0ull;
        tracks = ReadFlacSheet(image, sheet);
    }
    HeapRelease(image);
    return tracks;
}

int ReadEmbeddedCueSheet(const WCHAR *path, CUESHEET *sheet) {
    if (!MayEmbedCueSheet(path))
        return 0;
    HANDLE file = OpenCueInput(path);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    LARGE_INTEGER size;
    int tracks = GetFileSizeEx(file, &size)
                     ? ReadEmbeddedCueSheetFrom(file, path, (ULONGLONG)size.QuadPart, sheet)
                     : 0;
    CloseHandle(file);
    return tracks;
}
