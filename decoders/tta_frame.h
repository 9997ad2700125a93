// One TTA frame's samples from its bits: the adaptive Rice code, the
// adaptive hybrid filter and the fixed predictor of each channel, and the
// channels' decorrelation, all starting afresh at every frame.
#ifndef TONQUIL_DECODERS_TTA_FRAME_H
#define TONQUIL_DECODERS_TTA_FRAME_H

#include <stddef.h>
#include <stdint.h>

// Decodes frames × channels interleaved samples from the frame's bytes
// (without its trailing checksum) into samples; false when the codes need
// more bits than the frame holds.
bool DecodeTtaFrame(const uint8_t *bytes, size_t size, unsigned channels, unsigned bytesPerSample,
                    unsigned frames, int32_t *samples);

#endif
