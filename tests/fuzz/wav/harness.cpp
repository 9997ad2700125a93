// The engine's RIFF WAVE decoder over a file held in memory, read to its end
// and seeked to a frame the input's last bytes choose.
#include "engine/decoding/wav_decoder.h"
#include "media/source.h"
#include "tests/fuzz/common/decoder_run.h"

#include <stdint.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<BYTE> file(data, data + size);
    TQSOURCE source = {};
    TQDECODER decoder = {};
    if (!OpenMemorySource(file.data(), (DWORD)file.size(), &source))
        return 0;
    if (OpenWavDecoder(&source, &decoder))
        RunDecoder(decoder, SeekTarget(data, size), 4096);
    CloseSource(&source);
    return 0;
}
