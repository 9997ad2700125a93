// Streams: opening a file or memory block through the first decoder that
// reads it, playing, pausing, stopping and freeing. The caller holds EngineLock,
// but for OpenStream and OpenDecoder, which run without it.
#ifndef TONQUIL_ENGINE_STREAMS_STREAMS_H
#define TONQUIL_ENGINE_STREAMS_STREAMS_H

#include "engine/records/engine_state.h"

#include <string>
#include <vector>

// Opens source (which the stream then owns) with the built-in decoders and
// then plugins, and reads its tags: a stream not yet listed, with no handle,
// or NULL when no decoder reads it. With bounds, the source is an album image
// at path image and the stream plays only that track, its tag made from the
// track's names. Without the lock, so that a slow open stalls neither
// playback nor the other calls.
Stream *OpenStream(TQSOURCE *source, DWORD flags, const std::vector<Plugin> &plugins,
                   const TrackBounds *bounds = NULL, const std::wstring &image = std::wstring());
// Lists an opened stream under a new handle; 0 when it cannot be listed.
HSTREAM AddStream(Stream *stream);
// Closes an opened stream that is not listed (or no longer is).
void DiscardStream(Stream *stream);
void FreeStream(Stream *stream);

// A stream that has drained, or ended, starts again from its beginning.
bool PlayStream(Stream *stream, bool restart);
// Refused once the stream has drained.
bool PauseStream(Stream *stream);
// Ends playback at once; an auto-free stream is freed. A drained stream's
// tail, already queued, plays on. Otherwise the next play goes on from the
// frame heard last.
void StopStream(Stream *stream);
// Moves to frame exactly. Stopped, the next play starts there; playing or
// paused, whatever the output holds is dropped and the stream goes on from
// there at once. Refused at or past the end, and once the end sync has run
// until the stream has been heard to its end.
bool SetStreamPosition(Stream *stream, ULONGLONG frame);

// Decodes, mixes and queues frames into the stream's idle output buffers,
// first taking an output when it has none. True when the stream has just
// queued its last frame: it is drained and its output free for the next.
bool FeedStream(Stream *stream);
// A drained stream's last frame has been played.
bool StreamHeard(Stream *stream);
// The stream has been heard to its end: its state becomes stopped.
void EndStream(Stream *stream);

#endif
