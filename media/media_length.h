// A stream's exact length in frames, as Read gives them: from the container
// where it states it, else by counting the frames of every packet (the
// demuxer reads the file; nothing is decoded).
#ifndef TONQUIL_MEDIA_MEDIA_LENGTH_H
#define TONQUIL_MEDIA_MEDIA_LENGTH_H

#include "media/media_stream.h"

// Sets stream->Length, 0 where neither tells it (ASF: WMA's packets do not
// say how many frames they hold). Call on a stream just opened; it is left
// at its start.
bool MeasureMediaLength(MediaStream *stream);

#endif
