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

void CloseParts(MediaStream *stream) {
    av_frame_free(&stream->Frame);
    av_packet_free(&stream->Packet);
    avcodec_free_context(&stream->Codec);
    avformat_close_input(&stream->Format);
    CloseSourceIo(&stream->IoContext);
}

bool OpenDemuxer(MediaStream *stream) {
    stream->IoContext = OpenSourceIo(&stream->Io);
    stream->Format = avformat_alloc_context();
    if (!stream->IoContext || !stream->Format)
        return false;
    stream->Format->pb = stream->IoContext;
    stream->Format->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_open_input(&stream->Format, "", NULL, NULL) < 0)
        return false; // it has freed the context
    if (avformat_find_stream_info(stream->Format, NULL) < 0)
        return false;
    stream->Index = av_find_best_stream(stream->Format, AVMEDIA_TYPE_AUDIO, -1, -1, NULL, 0);
    if (stream->Index < 0)
        return false;
    const AVCodecParameters *parameters = stream->Format->streams[stream->Index]->codecpar;
    MediaSide side;
    const MediaKind *kind =
        FindMediaKind(stream->Format->iformat->name, parameters->codec_id, &side);
    if (!kind || side != stream->Side)
        return false;
    stream->Kind = kind;
    for (unsigned i = 0; i < stream->Format->nb_streams; ++i)
        if ((int)i != stream->Index)
            stream->Format->streams[i]->discard = AVDISCARD_ALL;
    return true;
}

bool OpenDecoder(MediaStream *stream) {
    const AVStream *audio = stream->Format->streams[stream->Index];
    const AVCodec *codec = avcodec_find_decoder(audio->codecpar->codec_id);
    if (!codec)
        return false;
    stream->Codec = avcodec_alloc_context3(codec);
    stream->Packet = av_packet_alloc();
    stream->Frame = av_frame_alloc();
    if (!stream->Codec || !stream->Packet || !stream->Frame ||
        avcodec_parameters_to_context(stream->Codec, audio->codecpar) < 0)
        return false;
    // Timestamps of our own count frames from the start.
    stream->Codec->pkt_timebase =
        stream->Kind->Exact ? audio->time_base : AVRational{1, audio->codecpar->sample_rate};
    stream->Codec->thread_count = 1;
    if (avcodec_open2(stream->Codec, codec, NULL) < 0)
        return false;
    stream->Rate = stream->Codec->sample_rate;
    stream->Channels = stream->Codec->ch_layout.nb_channels;
    return stream->Rate > 0 && stream->Rate <= TQ_MAX_RATE && stream->Channels >= 1 &&
           stream->Channels <= TQ_MAX_CHANNELS;
}

bool OpenParts(MediaStream *stream) {
    stream->PacketFrames = 0;
    stream->Position = 0;
    stream->SkipTo = 0;
    stream->Anchored = true;
    stream->Draining = false;
    stream->Ended = false;
    stream->FrameUsed = 0;
    stream->FrameCount = 0;
    return OpenDemuxer(stream) && OpenDecoder(stream);
}

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

bool RestartMediaStream(MediaStream *stream) {
    CloseParts(stream);
    return OpenParts(stream);
}

MediaStream *OpenMediaStream(const TQSOURCE *source, MediaSide side) {
    static Quietly quietly;
    MediaStream *stream = new (std::nothrow) MediaStream();
    if (!stream)
        return NULL;
    stream->Io.Source = source;
    stream->Side = side;
    if (!OpenParts(stream) || !ReadMediaTags(stream->Format, stream->Index, &stream->Tags) ||
        !CountMediaLength(stream) || !DecodeFirstFrame(stream)) {
        CloseMediaStream(stream);
        return NULL;
    }
    TakeStatedLength(stream);
    return stream;
}

void CloseMediaStream(MediaStream *stream) {
    CloseParts(stream);
    delete stream;
}
