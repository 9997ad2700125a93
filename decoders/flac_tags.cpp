#include "decoders/flac_tags.h"

#include "engine/id3_blocks.h"
#include "engine/source.h"

#include <string.h>
#include <vector>

namespace {

#define BLOCK_HEADER_SIZE 4
#define LAST_BLOCK 0x80
#define VORBIS_COMMENT 4
// Comments larger than this hold pictures or worse; they are not read.
#define MAX_COMMENTS (1024 * 1024)
// The metadata ends within the first blocks of a sound file.
#define MAX_BLOCKS 64

} // namespace

bool IsFlac(const TQSOURCE *source) {
    char mark[4];
    return ReadExactly(source, Id3v2SkipSize(source), mark, sizeof mark) &&
           memcmp(mark, "fLaC", 4) == 0;
}

void ReadFlacNames(const TQSOURCE *source, TrackNames *names) {
    if (!IsFlac(source))
        return;
    DWORD at = Id3v2SkipSize(source) + 4;
    for (int i = 0; i < MAX_BLOCKS; ++i) {
        BYTE header[BLOCK_HEADER_SIZE];
        if (!ReadExactly(source, at, header, sizeof header))
            return;
        DWORD size = (header[1] << 16) | (header[2] << 8) | header[3];
        at += BLOCK_HEADER_SIZE;
        if ((header[0] & 0x7F) == VORBIS_COMMENT) {
            if (size == 0 || size > MAX_COMMENTS)
                return;
            std::vector<BYTE> list(size);
            if (ReadExactly(source, at, list.data(), size))
                TakeCommentList(list.data(), size, names);
            return;
        }
        if ((header[0] & LAST_BLOCK) || size > source->Size - at)
            return;
        at += size;
    }
}
