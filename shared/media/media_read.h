// Decoding a stream's frames in order: packets from the demuxer into the
// decoder, frames out as interleaved floats.
#ifndef TONQUIL_MEDIA_MEDIA_READ_H
#define TONQUIL_MEDIA_MEDIA_READ_H

#include "media/media_parts.h"

// Decodes the next frame that holds frames at or after SkipTo into
// stream->Frame; false at the end. A damaged packet ends the stream there,
// unless it lies before a seek's target, where a decoder that lacks what came
// before is expected to complain.
bool NextMediaFrame(MediaStream *stream);
// Writes up to count frames into out; fewer only at the end.
uint32_t ReadMediaFrames(MediaStream *stream, float *out, uint32_t count);
// Frames a packet decodes to before the decoder trims any; 0 when unknown.
int64_t PacketFrames(const MediaStream *stream, const AVPacket *packet);

#endif
