#include "decoders/container_tags.h"

#include "engine/source.h"

#include <string.h>
#include <vector>

namespace {

#define BOX_HEADER_SIZE 8
#define META_VERSION_SIZE 4
#define DATA_PREFIX_SIZE 8 // type indicator and locale before a data box's text
#define ASF_HEADER_SIZE 30
#define ASF_OBJECT_HEADER_SIZE 24
#define MAX_TEXT 4096
// A damaged file must not make the walk visit a huge number of boxes.
#define MAX_BOXES 4096

DWORD Big32(const BYTE *bytes) {
    return ((DWORD)bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

ULONGLONG Little(const BYTE *bytes, int count) {
    ULONGLONG value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

// The body [*start, *end) of the first box of that type among the boxes
// that fill [from, to).
bool FindBox(const TQSOURCE *source, DWORD from, DWORD to, const char *type, DWORD *start,
             DWORD *end) {
    DWORD at = from;
    for (int i = 0; i < MAX_BOXES && to - at >= BOX_HEADER_SIZE; ++i) {
        BYTE header[BOX_HEADER_SIZE];
        if (!ReadExactly(source, at, header, sizeof header))
            return false;
        ULONGLONG size = Big32(header);
        DWORD body = at + BOX_HEADER_SIZE;
        if (size == 1) { // a 64-bit size follows
            BYTE large[8];
            if (to - body < 8 || !ReadExactly(source, body, large, sizeof large))
                return false;
            size = ((ULONGLONG)Big32(large) << 32) | Big32(large + 4);
            body += 8;
        }
        if (size == 0)
            size = to - at;
        if (size < body - at || size > to - at)
            return false;
        if (memcmp(header + 4, type, 4) == 0) {
            *start = body;
            *end = at + (DWORD)size;
            return true;
        }
        at += (DWORD)size;
    }
    return false;
}

void TakeMp4Text(const TQSOURCE *source, DWORD from, DWORD to, const char *type, const char *field,
                 TrackNames *names) {
    DWORD start, end, dataStart, dataEnd;
    if (!FindBox(source, from, to, type, &start, &end) ||
        !FindBox(source, start, end, "data", &dataStart, &dataEnd) ||
        dataEnd - dataStart <= DATA_PREFIX_SIZE)
        return;
    DWORD length = dataEnd - dataStart - DATA_PREFIX_SIZE;
    std::string text(length < MAX_TEXT ? length : MAX_TEXT, '\0');
    if (ReadExactly(source, dataStart + DATA_PREFIX_SIZE, &text[0], (DWORD)text.size())) {
        std::string comment = std::string(field) + "=" + text;
        TakeVorbisComment(comment.data(), comment.size(), names);
    }
}

// UTF-16LE text of count bytes, up to its terminating zero, as UTF-8.
std::string Utf8FromUtf16(const BYTE *bytes, size_t count) {
    std::wstring wide;
    for (size_t i = 0; i + 1 < count; i += 2) {
        WCHAR unit = (WCHAR)(bytes[i] | (bytes[i + 1] << 8));
        if (!unit)
            break;
        wide += unit;
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), (int)wide.size(), NULL, 0, NULL, NULL);
    std::string text(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), (int)wide.size(), &text[0], size, NULL, NULL);
    return text;
}

const BYTE ContentDescription[16] = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                     0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

} // namespace

void ReadMp4Names(const TQSOURCE *source, TrackNames *names) {
    DWORD moov, moovEnd, udta, udtaEnd, meta, metaEnd, ilst, ilstEnd;
    if (!FindBox(source, 0, source->Size, "moov", &moov, &moovEnd) ||
        !FindBox(source, moov, moovEnd, "udta", &udta, &udtaEnd) ||
        !FindBox(source, udta, udtaEnd, "meta", &meta, &metaEnd) ||
        metaEnd - meta < META_VERSION_SIZE ||
        !FindBox(source, meta + META_VERSION_SIZE, metaEnd, "ilst", &ilst, &ilstEnd))
        return;
    TakeMp4Text(source, ilst, ilstEnd,
                "\xA9"
                "ART",
                "ARTIST", names);
    TakeMp4Text(source, ilst, ilstEnd,
                "\xA9"
                "nam",
                "TITLE", names);
}

void ReadAsfNames(const TQSOURCE *source, TrackNames *names) {
    BYTE header[ASF_HEADER_SIZE];
    if (!ReadExactly(source, 0, header, sizeof header))
        return;
    ULONGLONG end = Little(header + 16, 8);
    if (end > source->Size)
        end = source->Size;
    ULONGLONG at = ASF_HEADER_SIZE;
    for (int i = 0; i < MAX_BOXES && end - at >= ASF_OBJECT_HEADER_SIZE; ++i) {
        BYTE object[ASF_OBJECT_HEADER_SIZE];
        if (!ReadExactly(source, (DWORD)at, object, sizeof object))
            return;
        ULONGLONG size = Little(object + 16, 8);
        if (size < ASF_OBJECT_HEADER_SIZE || size > end - at)
            return;
        if (memcmp(object, ContentDescription, 16) == 0) {
            std::vector<BYTE> body((size_t)(size - ASF_OBJECT_HEADER_SIZE));
            if (body.size() < 10 || body.size() > 5 * 65536 + 10 ||
                !ReadExactly(source, (DWORD)at + ASF_OBJECT_HEADER_SIZE, body.data(),
                             (DWORD)body.size()))
                return;
            size_t titleBytes = body[0] | (body[1] << 8), artistBytes = body[2] | (body[3] << 8);
            if (10 + titleBytes + artistBytes > body.size())
                return;
            std::string title = "TITLE=" + Utf8FromUtf16(&body[10], titleBytes);
            std::string artist = "ARTIST=" + Utf8FromUtf16(&body[10 + titleBytes], artistBytes);
            TakeVorbisComment(title.data(), title.size(), names);
            TakeVorbisComment(artist.data(), artist.size(), names);
            return;
        }
        at += size;
    }
}
