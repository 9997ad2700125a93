// The engine's ID3 blocks of a file held in memory: sizes and the copies it hands the player, whose stated size must
// match what they hold.
#include "engine/tags/id3_blocks.h"
#include "media/source.h"

#include <stdint.h>
#include <stdlib.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<BYTE> file(data, data + size);
    TQSOURCE source = {};
    if (!OpenMemorySource(file.data(), (DWORD)file.size(), &source))
        return 0;
    if (Id3v2BlockSize(&source) > source.Size)
        abort();
    std::string v2, v1;
    if (ReadId3v2Block(&source, &v2)) {
        const BYTE *header = (const BYTE *)v2.data();
        DWORD stated = (DWORD)header[6] << 21 | header[7] << 14 | header[8] << 7 | header[9];
        if (v2.size() != ID3V2_HEADER_SIZE + stated)
            abort();
    }
    if (ReadId3v1Block(&source, &v1) != HasId3v1Block(&source) ||
        (!v1.empty() && v1.size() != ID3V1_SIZE))
        abort();
    CloseSource(&source);
    return 0;
}
