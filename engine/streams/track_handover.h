// A stream of one track of an album image, limited to the track once its
// decoder has opened the image: below the streams, which call it as they open.
#ifndef TONQUIL_ENGINE_STREAMS_TRACK_HANDOVER_H
#define TONQUIL_ENGINE_STREAMS_TRACK_HANDOVER_H

#include "engine/records/engine_state.h"

#include <string>

// Limits a stream whose decoder has just opened the image. A track that
// starts where a drained track of the same image ended takes that track's
// decoder over: it goes on without a seek, so the two join exactly and at
// once. Takes the lock for that look only.
bool LimitTrackStream(Stream *stream, const TrackBounds &bounds, const std::wstring &image);

#endif
