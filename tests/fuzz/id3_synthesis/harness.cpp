// The ID3v2 tag built from a decoder's artist and title (the input split at
// its first zero byte), read back by the player's ID3 reader.
#include "media/id3_synthesis.h"
#include "tonquil_id3.h"

#include <stdint.h>
#include <stdlib.h>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string input((const char *)data, size);
    size_t split = input.find('\0');
    std::string artist = input.substr(0, split);
    std::string title = split == std::string::npos ? std::string() : input.substr(split + 1);
    std::string tag;
    if (!BuildId3v2Tag(artist.c_str(), title.c_str(), &tag))
        return 0;
    const BYTE *bytes = (const BYTE *)tag.data();
    size_t stated = 10 + ((size_t)bytes[6] << 21 | bytes[7] << 14 | bytes[8] << 7 | bytes[9]);
    if (tag.size() != stated || (bytes[6] | bytes[7] | bytes[8] | bytes[9]) & 0x80)
        abort();
    for (WCHAR *text : {ParseTrackArtist(NULL, bytes), ParseTrackTitle(NULL, bytes)})
        HeapFree(GetProcessHeap(), 0, text);
    return 0;
}
