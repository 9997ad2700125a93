// The open outputs, handed from one stream to the next. A stream that starts
// while an output of its format still plays another stream's last frames
// feeds that same output, so its first frame follows them without a gap. An
// output that nobody feeds is closed after a second of silence, or once its
// tail has played when a stream of another format needs the device. The
// caller holds EngineLock.
#ifndef TONQUIL_ENGINE_STREAMS_OUTPUT_POOL_H
#define TONQUIL_ENGINE_STREAMS_OUTPUT_POOL_H

#include "engine/records/engine_state.h"

// Sets *output to an output for frames of this format, fed by the caller
// from now on, or to NULL while an output of another format still plays a
// tail (ask again once it has: the engine's thread is woken as it plays).
// false when no output, not even a silent one, can be had: memory has run out.
bool TakeOutput(DWORD rate, DWORD channels, bool asFloat, Output **output);
// The feeder has queued its last frame: the output plays on, free for the
// next stream.
void ReleaseOutput(Output *output);
// NULL once the output is closed.
Output *FindOutput(DWORD serial);
// Stops the output at once and closes it, tail and all.
void DropOutput(Output *output);
void DropAllOutputs();
// An output whose device has gone, or NULL.
Output *FindLostOutput();
// Takes a lost output out of the pool and closes it without waiting for it.
void AbandonOutput(Output *output);
// Closes the outputs idle for long enough; gives how long the engine's
// thread may sleep before an output needs it again.
DWORD ServiceOutputs();

#endif
