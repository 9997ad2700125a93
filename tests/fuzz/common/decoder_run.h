// Drives a decoder the way the engine does: read to the end in blocks, seek
// to a frame the input chooses and read again, close. Bounded, so a stream
// that never ends shows up as a slow input rather than a hang of the run.
#ifndef TONQUIL_FUZZ_DECODER_RUN_H
#define TONQUIL_FUZZ_DECODER_RUN_H

#include "tonquil_decoder_plugin.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

// The frame a run seeks to: the input's last four bytes.
inline ULONGLONG SeekTarget(const uint8_t *data, size_t size) {
    uint32_t frame = 0;
    if (size >= 4)
        memcpy(&frame, data + size - 4, 4);
    return frame;
}

inline void CheckDecoderFields(const TQDECODER &decoder) {
    // Rates and channel counts beyond the engine's are its to refuse.
    if (decoder.Channels < 1 || !decoder.Read || !decoder.Close)
        abort();
}

inline void RunDecoder(TQDECODER &decoder, ULONGLONG seekTo, int maxReads) {
    CheckDecoderFields(decoder);
    const DWORD block = 1024;
    // Exactly a block of frames: a decoder that writes past count is caught.
    std::vector<float> frames(block * decoder.Channels);
    for (int reads = 0; reads < maxReads; ++reads) {
        DWORD got = decoder.Read(decoder.State, frames.data(), block);
        if (got > block)
            abort();
        if (!got)
            break;
    }
    if (decoder.Seek && decoder.Length && decoder.Seek(decoder.State, seekTo % decoder.Length))
        decoder.Read(decoder.State, frames.data(), block);
    decoder.Close(decoder.State);
}

#endif
