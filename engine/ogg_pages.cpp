#include "engine/ogg_pages.h"

#include "engine/source.h"

#include <string.h>
#include <vector>

namespace {

// The largest page: its header, 255 lacing values and 255 full segments.
#define MAX_PAGE_SIZE (OGG_PAGE_HEADER_SIZE + 255 + 255 * 255)
// How far back from the end the last page is looked for: a stream whose end
// is buried under more than this is played without an exact length.
#define TAIL_SEARCH (4 * MAX_PAGE_SIZE)
#define NO_GRANULE 0xFFFFFFFFFFFFFFFFull

DWORD Little32(const BYTE *bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | ((DWORD)bytes[3] << 24);
}

// Ogg's page checksum: CRC-32 with polynomial 0x04C11DB7, unreflected, from 0.
DWORD CrcOf(const BYTE *bytes, size_t count) {
    DWORD crc = 0;
    for (size_t i = 0; i < count; ++i) {
        crc ^= (DWORD)bytes[i] << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// The whole page at bytes[at] when it fits before end and its checksum holds;
// its size through pageSize.
bool IntactPage(const std::vector<BYTE> &bytes, size_t at, size_t *pageSize) {
    size_t end = bytes.size();
    if (end - at < OGG_PAGE_HEADER_SIZE || memcmp(&bytes[at], "OggS", 4) != 0 || bytes[at + 4])
        return false;
    size_t segments = bytes[at + 26];
    size_t size = OGG_PAGE_HEADER_SIZE + segments;
    if (end - at < size)
        return false;
    for (size_t i = 0; i < segments; ++i)
        size += bytes[at + OGG_PAGE_HEADER_SIZE + i];
    if (end - at < size)
        return false;
    std::vector<BYTE> page(bytes.begin() + at, bytes.begin() + at + size);
    DWORD stated = Little32(&page[22]);
    memset(&page[22], 0, 4);
    *pageSize = size;
    return CrcOf(page.data(), size) == stated;
}

// The page at offset at as far as its header says it reaches, or as much of
// it as the source holds.
bool ReadPage(const TQSOURCE *source, DWORD at, std::vector<BYTE> *page) {
    page->assign(OGG_PAGE_HEADER_SIZE, 0);
    if (!ReadExactly(source, at, page->data(), OGG_PAGE_HEADER_SIZE))
        return false;
    size_t segments = (*page)[26];
    page->resize(OGG_PAGE_HEADER_SIZE + segments);
    if (!ReadExactly(source, at + OGG_PAGE_HEADER_SIZE, page->data() + OGG_PAGE_HEADER_SIZE,
                     (DWORD)segments))
        return false;
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i)
        body += (*page)[OGG_PAGE_HEADER_SIZE + i];
    size_t head = page->size();
    page->resize(head + body);
    DWORD got = source->Read(source->Context, at + (DWORD)head, page->data() + head, (DWORD)body);
    page->resize(head + got);
    return true;
}

} // namespace

bool FirstOggSerial(const TQSOURCE *source, DWORD *serial) {
    BYTE header[OGG_PAGE_HEADER_SIZE];
    if (!ReadExactly(source, 0, header, sizeof header) || memcmp(header, "OggS", 4) != 0 ||
        header[4] != 0)
        return false;
    *serial = Little32(header + 14);
    return true;
}

bool LastOggGranule(const TQSOURCE *source, DWORD serial, ULONGLONG *granule) {
    DWORD start = source->Size > TAIL_SEARCH ? source->Size - TAIL_SEARCH : 0;
    std::vector<BYTE> tail(source->Size - start);
    if (tail.empty() || !ReadExactly(source, start, tail.data(), (DWORD)tail.size()))
        return false;
    for (size_t at = tail.size(); at-- > 0;) {
        size_t size;
        if (tail[at] != 'O' || !IntactPage(tail, at, &size) || Little32(&tail[at + 14]) != serial)
            continue;
        ULONGLONG value = Little32(&tail[at + 6]) | ((ULONGLONG)Little32(&tail[at + 10]) << 32);
        // A page on which no packet ends states no position.
        if (value == NO_GRANULE)
            continue;
        *granule = value;
        return true;
    }
    return false;
}

bool ReadOggPacket(const TQSOURCE *source, int index, DWORD limit, std::vector<BYTE> *packet) {
    DWORD serial;
    if (!FirstOggSerial(source, &serial))
        return false;
    packet->clear();
    int packets = 0;
    size_t size;
    std::vector<BYTE> page;
    // One page at a time, so that only the packet itself grows large.
    for (DWORD at = 0; at < limit && ReadPage(source, at, &page) && IntactPage(page, 0, &size);
         at += (DWORD)size) {
        if (Little32(&page[14]) != serial)
            continue;
        size_t segments = page[26];
        size_t data = OGG_PAGE_HEADER_SIZE + segments;
        for (size_t i = 0; i < segments; ++i) {
            BYTE lacing = page[OGG_PAGE_HEADER_SIZE + i];
            if (packets == index)
                packet->insert(packet->end(), page.begin() + data, page.begin() + data + lacing);
            data += lacing;
            // A lacing value below 255 ends a packet.
            if (lacing < 255 && packets++ == index)
                return true;
        }
    }
    return false;
}
