#include "media/media_parts.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

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

} // namespace

void CloseMediaParts(MediaStream *stream) {
    av_frame_free(&stream->Frame);
    av_packet_free(&stream->Packet);
    avcodec_free_context(&stream->Codec);
    avformat_close_input(&stream->Format);
    CloseSourceIo(&stream->IoContext);
}

bool OpenMediaParts(MediaStream *stream) {
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

bool RestartMediaStream(MediaStream *stream) {
    CloseMediaParts(stream);
    return OpenMediaParts(stream);
}
