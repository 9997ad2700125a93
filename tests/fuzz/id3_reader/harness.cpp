// The player's ID3 reader, given the blocks as the engine hands them out: an
// ID3v1 tag of 128 bytes at the end of the input when it starts with TAG, and
// an ID3v2 block of exactly the size its header states.
#include "tonquil_id3.h"

#include <stdint.h>
#include <vector>

static void Check(WCHAR *text) {
    if (text) {
        lstrlenW(text); // every text ends within its block
        HeapFree(GetProcessHeap(), 0, text);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<BYTE> v1;
    if (size >= ID3V1_TAG_SIZE && memcmp(data + size - ID3V1_TAG_SIZE, "TAG", 3) == 0) {
        v1.assign(data + size - ID3V1_TAG_SIZE, data + size);
        size -= ID3V1_TAG_SIZE;
    }
    std::vector<BYTE> v2;
    // The engine hands out no block whose size bytes are not syncsafe.
    if (size >= 10 && !((data[6] | data[7] | data[8] | data[9]) & 0x80)) {
        size_t stated = 10 + ((size_t)(data[6] & 0x7F) << 21 | (data[7] & 0x7F) << 14 |
                              (data[8] & 0x7F) << 7 | (data[9] & 0x7F));
        if (stated <= size)
            v2.assign(data, data + stated);
    }
    const BYTE *tag1 = v1.empty() ? NULL : v1.data();
    const BYTE *tag2 = v2.empty() ? NULL : v2.data();
    Check(ParseTrackArtist(tag1, tag2));
    Check(ParseTrackTitle(tag1, tag2));
    if (tag2)
        Check(ParseId3v2Frame(tag2, "TALB"));
    return 0;
}
