// The FFmpeg glue over a file source held in memory, as the engine opens a
// file and then the plug-in: probing, tags, length, reading and seeking.
#include "media/media_decoder.h"
#include "media/source.h"
#include "tests/fuzz/common/decoder_run.h"

#include <stdint.h>
#include <stdlib.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<BYTE> file(data, data + size);
    TQSOURCE source = {};
    if (!OpenMemorySource(file.data(), (DWORD)file.size(), &source))
        return 0;
    ULONGLONG seekTo = SeekTarget(data, size);
    for (MediaSide side : {MEDIA_ENGINE, MEDIA_PLUGIN}) {
        TQDECODER decoder = {};
        if (OpenMediaDecoder(&source, side, &decoder)) {
            // Each name ends within what the decoder holds.
            for (const char *name : {decoder.Artist, decoder.Title})
                if (name && strlen(name) > size)
                    abort();
            RunDecoder(decoder, seekTo, 256);
        }
    }
    CloseSource(&source);
    return 0;
}
