#include "media/media_length.h"

#include "media/media_read.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
}

namespace {

// What the decoder trims from a packet: the side data that the demuxer puts
// on the first packets (encoder delay) and the last (padding).
int64_t TrimmedFrames(const AVPacket *packet) {
    size_t size = 0;
    const uint8_t *skip = av_packet_get_side_data(packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
    if (!skip || size < 8)
        return 0;
    return (int64_t)AV_RL32(skip) + (int64_t)AV_RL32(skip + 4);
}

// Every packet counted, then the stream opened afresh at its start.
bool CountPackets(MediaStream *stream) {
    int64_t frames = 0;
    bool known = true;
    AVPacket *packet = stream->Packet;
    while (known && av_read_frame(stream->Format, packet) >= 0) {
        if (packet->stream_index == stream->Index) {
            int64_t count = PacketFrames(stream, packet);
            int64_t trimmed = TrimmedFrames(packet);
            known = count > 0;
            frames += count > trimmed ? count - trimmed : 0;
        }
        av_packet_unref(packet);
    }
    stream->Length = known && frames > 0 ? (uint64_t)frames : 0;
    return RestartMediaStream(stream);
}

} // namespace

bool MeasureMediaLength(MediaStream *stream) {
    const AVStream *audio = stream->Format->streams[stream->Index];
    stream->Length = 0;
    if (stream->Kind->Exact && audio->duration > 0) {
        stream->Length = (uint64_t)av_rescale_q(audio->duration, audio->time_base,
                                                AVRational{1, stream->Rate});
        return true;
    }
    return !stream->Kind->Countable || CountPackets(stream);
}
