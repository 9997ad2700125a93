#include "media/media_read.h"

#include "media/sample_convert.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

int64_t FrameStart(const MediaStream *stream, const AVFrame *frame) {
    int64_t pts = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE)
        return -1;
    return av_rescale_q(pts, stream->Codec->pkt_timebase, AVRational{1, stream->Rate}) -
           stream->FirstPts;
}

// A frame the engine can take: the stream's format throughout.
bool Usable(const MediaStream *stream, const AVFrame *frame) {
    return frame->nb_samples > 0 && frame->sample_rate == stream->Rate &&
           frame->ch_layout.nb_channels == stream->Channels && CanConvertSamples(frame->format);
}

// Feeds the decoder one packet of the audio stream, or the end; false when
// the stream has ended.
bool FeedDecoder(MediaStream *stream) {
    AVPacket *packet = stream->Packet;
    for (;;) {
        if (stream->Draining)
            return false;
        if (av_read_frame(stream->Format, packet) < 0) {
            stream->Draining = true;
            return avcodec_send_packet(stream->Codec, NULL) >= 0;
        }
        if (packet->stream_index != stream->Index) {
            av_packet_unref(packet);
            continue;
        }
        if (!stream->Kind->Exact) {
            packet->pts = packet->dts = stream->PacketFrames;
            stream->PacketFrames += PacketFrames(stream, packet);
        }
        int sent = avcodec_send_packet(stream->Codec, packet);
        av_packet_unref(packet);
        return sent >= 0 || stream->Position < stream->SkipTo || !stream->Anchored;
    }
}

// Places a frame just decoded: its position, and what of it a seek drops.
bool TakeFrame(MediaStream *stream) {
    AVFrame *frame = stream->Frame;
    if (!stream->Anchored) {
        int64_t start = FrameStart(stream, frame);
        if (start < 0)
            return false;
        stream->Position = start;
        stream->Landing = start;
        stream->Anchored = true;
    }
    int64_t end = stream->Position + frame->nb_samples;
    if (end <= stream->SkipTo) {
        stream->Position = end;
        return false;
    }
    stream->FrameUsed = 0;
    if (stream->Position < stream->SkipTo) {
        stream->FrameUsed = (int)(stream->SkipTo - stream->Position);
        stream->Position = stream->SkipTo;
    }
    stream->FrameCount = frame->nb_samples;
    return true;
}

} // namespace

int64_t PacketFrames(const MediaStream *stream, const AVPacket *packet) {
    if (!stream->Kind->Countable)
        return 0;
    const AVStream *audio = stream->Format->streams[stream->Index];
    int frames = av_get_audio_frame_duration2(audio->codecpar, packet->size);
    if (frames > 0)
        return frames;
    if (packet->duration > 0)
        return av_rescale_q(packet->duration, audio->time_base, AVRational{1, stream->Rate});
    return 0;
}

bool NextMediaFrame(MediaStream *stream) {
    stream->FrameCount = 0;
    while (!stream->Ended) {
        int got = avcodec_receive_frame(stream->Codec, stream->Frame);
        if (got == 0) {
            if (!Usable(stream, stream->Frame))
                break;
            if (TakeFrame(stream))
                return true;
            continue;
        }
        if (got != AVERROR(EAGAIN) || !FeedDecoder(stream))
            break;
    }
    stream->Ended = true;
    return false;
}

uint32_t ReadMediaFrames(MediaStream *stream, float *out, uint32_t count) {
    uint32_t written = 0;
    while (written < count) {
        if (stream->FrameUsed >= stream->FrameCount && !NextMediaFrame(stream))
            break;
        int left = stream->FrameCount - stream->FrameUsed;
        // The track ends where its length says, padding or not.
        if (stream->Length && stream->Position + left > (int64_t)stream->Length)
            left = stream->Position < (int64_t)stream->Length
                       ? (int)((int64_t)stream->Length - stream->Position)
                       : 0;
        if (left == 0)
            break;
        int take = (uint32_t)left < count - written ? left : (int)(count - written);
        ConvertSamples(stream->Frame, stream->Channels, stream->FrameUsed, take,
                       out + (size_t)written * stream->Channels);
        stream->FrameUsed += take;
        stream->Position += take;
        written += take;
    }
    return written;
}
