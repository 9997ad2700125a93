// Moving a stream to an exact frame: the container's own seek before the
// target where its timestamps are exact, else counting packets from the
// start; then decoding up to the target.
#ifndef TONQUIL_MEDIA_MEDIA_SEEK_H
#define TONQUIL_MEDIA_MEDIA_SEEK_H

#include "media/media_parts.h"

// False, with the position unchanged, for a frame at or past the end or in a
// stream of unknown length; the next read gives frame onwards.
bool SeekMediaStream(MediaStream *stream, uint64_t frame);
// From the start again, to frame: packets wholly before frame's preroll are
// counted without decoding where their size tells their frames.
bool WalkMediaStream(MediaStream *stream, uint64_t frame);

#endif
