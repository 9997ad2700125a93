// Where a stream is: the frame heard now, and moving its decoder to any frame
// exactly, by the decoder's own Seek or else by decoding up to it. The caller
// holds EngineLock.
#ifndef TONQUIL_ENGINE_STREAMS_STREAM_POSITION_H
#define TONQUIL_ENGINE_STREAMS_STREAM_POSITION_H

#include "engine/records/engine_state.h"

// The frame the listener hears now: what the stream's output has played of
// it. Stopped, the frame the next play starts from; once drained, reaches
// the length as the tail plays.
ULONGLONG HeardFrame(const Stream *stream);
// The decoder's next frame becomes frame. Refused at or past the end, where
// the decoder stays as it was; a stream that had ended may play again.
bool MoveDecoder(Stream *stream, ULONGLONG frame);

#endif
