#include "engine/tags/id3_blocks.h"

#include "media/no_throw.h"
#include "media/source.h"

#include <string.h>

namespace {

// A stream keeps a copy of its ID3v2 tag; one of up to 256 MB is mostly
// pictures, after the text frames. The copy keeps the start of such a tag,
// with its header's size saying how much it holds.
#define ID3V2_COPY_LIMIT (1024 * 1024)

// The header's stated tag size, or false when the header is not one.
bool ReadId3v2Header(const TQSOURCE *source, DWORD *size) {
    BYTE header[ID3V2_HEADER_SIZE];
    if (!ReadExactly(source, 0, header, sizeof header) || memcmp(header, "ID3", 3) != 0 ||
        header[3] == 0xFF || header[4] == 0xFF)
        return false;
    DWORD value = 0;
    for (int i = 6; i < 10; ++i) {
        if (header[i] & 0x80)
            return false; // a syncsafe integer uses seven bits per byte
        value = (value << 7) | header[i];
    }
    *size = value;
    return true;
}

} // namespace

DWORD Id3v2BlockSize(const TQSOURCE *source) {
    DWORD size = 0;
    if (!ReadId3v2Header(source, &size) || size > source->Size - ID3V2_HEADER_SIZE)
        return 0;
    return ID3V2_HEADER_SIZE + size;
}

bool HasId3v1Block(const TQSOURCE *source) {
    char mark[3];
    return source->Size >= ID3V1_SIZE &&
           ReadExactly(source, source->Size - ID3V1_SIZE, mark, sizeof mark) &&
           memcmp(mark, "TAG", 3) == 0;
}

bool ReadId3v2Block(const TQSOURCE *source, std::string *block) {
    DWORD size = Id3v2BlockSize(source);
    if (!size)
        return false;
    if (size > ID3V2_COPY_LIMIT)
        size = ID3V2_COPY_LIMIT;
    if (!NoThrow(false,
                 [&] {
                     block->assign(size, '\0');
                     return true;
                 }) ||
        !ReadExactly(source, 0, &(*block)[0], size))
        return false;
    DWORD stated = size - ID3V2_HEADER_SIZE;
    for (int i = 9; i >= 6; --i, stated >>= 7)
        (*block)[i] = (char)(stated & 0x7F);
    return true;
}

bool ReadId3v1Block(const TQSOURCE *source, std::string *block) {
    if (!HasId3v1Block(source) || !NoThrow(false, [&] {
            block->assign(ID3V1_SIZE, '\0');
            return true;
        }))
        return false;
    return ReadExactly(source, source->Size - ID3V1_SIZE, &(*block)[0], ID3V1_SIZE);
}
