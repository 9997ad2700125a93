#include "decoders/ape_tags.h"

#include "engine/id3_blocks.h"
#include "engine/source.h"

#include <string.h>
#include <vector>

namespace {

#define FOOTER_SIZE 32
#define ITEM_HEADER_SIZE 8
// A tag bigger than this holds pictures; the names are not worth reading it.
#define MAX_TAG_SIZE (1024 * 1024)

DWORD Little32(const BYTE *bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | ((DWORD)bytes[3] << 24);
}

// The items as "Key=Value" comments, the form the Vorbis comment reader takes.
void TakeItems(const std::vector<BYTE> &items, DWORD count, TrackNames *names) {
    size_t at = 0;
    for (DWORD i = 0; i < count && items.size() - at > ITEM_HEADER_SIZE; ++i) {
        DWORD valueSize = Little32(&items[at]);
        size_t key = at + ITEM_HEADER_SIZE;
        const BYTE *end = (const BYTE *)memchr(&items[key], 0, items.size() - key);
        if (!end)
            return;
        size_t value = (size_t)(end - items.data()) + 1;
        if (valueSize > items.size() - value)
            return;
        std::string comment((const char *)&items[key], value - 1 - key);
        comment += '=';
        comment.append((const char *)&items[value], valueSize);
        TakeVorbisComment(comment.data(), comment.size(), names);
        at = value + valueSize;
    }
}

} // namespace

void ReadApeNames(const TQSOURCE *source, TrackNames *names) {
    DWORD end = source->Size - (HasId3v1Block(source) ? ID3V1_SIZE : 0);
    BYTE footer[FOOTER_SIZE];
    if (end < FOOTER_SIZE || !ReadExactly(source, end - FOOTER_SIZE, footer, FOOTER_SIZE) ||
        memcmp(footer, "APETAGEX", 8) != 0)
        return;
    DWORD size = Little32(footer + 12); // the items and this footer
    DWORD count = Little32(footer + 16);
    if (size < FOOTER_SIZE || size > end || size > MAX_TAG_SIZE)
        return;
    std::vector<BYTE> items(size - FOOTER_SIZE);
    if (items.empty() || ReadExactly(source, end - size, items.data(), (DWORD)items.size()))
        TakeItems(items, count, names);
}
