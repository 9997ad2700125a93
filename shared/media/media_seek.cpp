#include "media/media_seek.h"

#include "media/media_read.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

int64_t PrerollFrames(const MediaStream *stream) {
    return (int64_t)stream->Kind->PrerollMs * stream->Rate / 1000;
}

void AimAt(MediaStream *stream, int64_t frame, bool anchored) {
    stream->SkipTo = frame;
    stream->Anchored = anchored;
    stream->Draining = false;
    stream->Ended = false;
    stream->FrameUsed = 0;
    stream->FrameCount = 0;
}

// The container's seek to the preroll before frame; false where it lands
// after that point or cannot go there.
bool SeekInContainer(MediaStream *stream, int64_t frame) {
    int64_t start = frame - PrerollFrames(stream);
    if (start <= 0)
        return false;
    const AVStream *audio = stream->Format->streams[stream->Index];
    int64_t timestamp =
        av_rescale_q(start + stream->FirstPts, AVRational{1, stream->Rate}, audio->time_base);
    if (av_seek_frame(stream->Format, stream->Index, timestamp, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(stream->Codec);
    AimAt(stream, frame, false);
    return NextMediaFrame(stream) && stream->Landing <= start && stream->Position == frame;
}

// Packets that end before the preroll are counted, not decoded; the first
// one after goes to the decoder, which timestamps its frames by our count.
void SkipCountedPackets(MediaStream *stream, int64_t frame) {
    int64_t until = frame - PrerollFrames(stream);
    AVPacket *packet = stream->Packet;
    while (av_read_frame(stream->Format, packet) >= 0) {
        if (packet->stream_index != stream->Index) {
            av_packet_unref(packet);
            continue;
        }
        int64_t count = PacketFrames(stream, packet);
        int64_t start = stream->PacketFrames;
        stream->PacketFrames += count;
        if (count > 0 && start + count - stream->FirstPts <= until) {
            av_packet_unref(packet);
            continue;
        }
        packet->pts = packet->dts = start;
        avcodec_send_packet(stream->Codec, packet);
        av_packet_unref(packet);
        return;
    }
}

} // namespace

bool WalkMediaStream(MediaStream *stream, uint64_t frame) {
    if (!RestartMediaStream(stream)) {
        stream->Ended = true;
        return false;
    }
    bool counted = stream->Kind->Countable && !stream->Kind->Exact;
    AimAt(stream, (int64_t)frame, !counted);
    if (counted)
        SkipCountedPackets(stream, (int64_t)frame);
    return NextMediaFrame(stream) && stream->Position == (int64_t)frame;
}

bool SeekMediaStream(MediaStream *stream, uint64_t frame) {
    if (stream->Length && frame >= stream->Length)
        return false;
    if (stream->Kind->Exact && SeekInContainer(stream, (int64_t)frame))
        return true;
    int64_t was = stream->Position;
    if (WalkMediaStream(stream, frame))
        return true;
    WalkMediaStream(stream, (uint64_t)was);
    return false;
}
