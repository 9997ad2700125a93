// One file decoding through FFmpeg: its demuxer and decoder over the
// engine's source, where it stands, and what its tags say. A stream belongs
// to one thread at a time; streams share nothing, so several decode at once.
#ifndef TONQUIL_MEDIA_MEDIA_STREAM_H
#define TONQUIL_MEDIA_MEDIA_STREAM_H

#include "media/media_parts.h"

// Opens source when its content is a kind of side; NULL otherwise. The source
// stays valid until the stream is closed.
MediaStream *OpenMediaStream(const TQSOURCE *source, MediaSide side);
void CloseMediaStream(MediaStream *stream);

#endif
