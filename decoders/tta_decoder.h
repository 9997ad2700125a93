// TTA lossless audio (the "TTA1" format): 8, 16 and 24-bit integer samples,
// 1 to 8 channels, decoded frame by frame through the seek table.
#ifndef TONQUIL_DECODERS_TTA_DECODER_H
#define TONQUIL_DECODERS_TTA_DECODER_H

#include "tonquil_decoder_plugin.h"

BOOL CALLBACK OpenTtaDecoder(const TQSOURCE *source, TQDECODER *decoder);

#endif
