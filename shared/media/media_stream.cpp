#include "media/media_stream.h"

#include "media/media_length.h"
#include "media/media_read.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <new>

namespace {

// No allocation a demuxer or decoder makes for a sane audio file comes near
// this; a damaged header that asks for more gets a refusal instead.
const size_t MAX_ALLOCATION = 64 << 20;

// Process-wide settings of FFmpeg, made once before the first stream. Streams
// open on several threads at once: the first open makes them as a function's
// static, which the others wait for. FFmpeg needs no registration, and opens
// its codecs and demuxers safely from several threads.
struct Quietly {
    Quietly() {
        av_log_set_level(AV_LOG_QUIET);
        av_max_alloc(MAX_ALLOCATION);
    }
};

// The first frame must decode; its timestamp is where positions count from.
bool DecodeFirstFrame(MediaStream *stream) {
    if (!NextMediaFrame(stream))
        return false;
    int64_t pts = stream->Frame->best_effort_timestamp;
    stream->FirstPts = pts == AV_NOPTS_VALUE ? 0
                                             : av_rescale_q(pts, stream->Codec->pkt_timebase,
                                                            AVRational{1, stream->Rate});
    return true;
}

} // namespace

MediaStream *OpenMediaStream(const TQSOURCE *source, MediaSide side) {
    static Quietly quietly;
    MediaStream *stream = new (std::nothrow) MediaStream();
    if (!stream)
        return NULL;
    stream->Io.Source = source;
    stream->Side = side;
    if (!OpenMediaParts(stream) || !ReadMediaTags(stream->Format, stream->Index, &stream->Tags) ||
        !CountMediaLength(stream) || !DecodeFirstFrame(stream)) {
        CloseMediaStream(stream);
        return NULL;
    }
    TakeStatedLength(stream);
    return stream;
}

void CloseMediaStream(MediaStream *stream) {
    CloseMediaParts(stream);
    delete stream;
}
