// A stream's decoder: the first of the built-in decoders and the plug-ins
// that reads a source, opened again from the start when the stream goes
// back, and read into the stream's Scratch. Below the streams' other
// routines, which all decode through it.
#ifndef TONQUIL_ENGINE_STREAMS_STREAM_DECODER_H
#define TONQUIL_ENGINE_STREAMS_STREAM_DECODER_H

#include "engine/records/engine_state.h"

#include <vector>

// Gives a decoder for the source: the built-in ones first, then plugins in
// their order, skipping freed ones. Fills opener, opener2 (NULL but for a
// plug-in of version 2) and plugin with the one that took it.
bool OpenDecoder(const TQSOURCE *source, const std::vector<Plugin> &plugins, TQDECODER *decoder,
                 TQDECODEROPEN *opener, TQDECODEROPEN2 *opener2, HPLUGIN *plugin);
// The decoder's format becomes the stream's, from frame 0.
void TakeDecoderFormat(Stream *stream);
void CloseDecoder(Stream *stream);
// A new decoder from the start of the source, by the opener that read it
// before; false leaves the stream without one.
bool RestartDecoder(Stream *stream);
// Fills Scratch with up to count frames; fewer only at the decoder's end,
// which drains the stream and tells its length.
DWORD Decode(Stream *stream, DWORD count);

#endif
