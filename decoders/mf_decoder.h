// WMA, FLAC, AAC in MP4 and ADTS AAC through Media Foundation's source
// reader, decoded to 32-bit floats. Media Foundation is loaded when a file
// of these kinds is first opened: where the system has none, or no decoder
// for the file, the file is declined.
#ifndef TONQUIL_DECODERS_MF_DECODER_H
#define TONQUIL_DECODERS_MF_DECODER_H

#include "tonquil_decoder_plugin.h"

BOOL CALLBACK OpenMfDecoder(const TQSOURCE *source, TQDECODER *decoder);

#endif
