// A stream's exact length in frames, as Read gives them: from the container
// where it states it, else by counting the frames of every packet (the
// demuxer reads the file; nothing is decoded).
#ifndef TONQUIL_MEDIA_MEDIA_LENGTH_H
#define TONQUIL_MEDIA_MEDIA_LENGTH_H

#include "media/media_parts.h"

// Counts the packets of a stream just opened whose kind is not exact, and
// opens it again at its start; Length stays 0 where packets do not tell
// their frames (ASF: WMA's packets do not say how many they hold).
bool CountMediaLength(MediaStream *stream);
// The length that an exact container states, from the first frame decoded
// (FirstPts known); and the end that MP4's edit list sets.
void TakeStatedLength(MediaStream *stream);

#endif
