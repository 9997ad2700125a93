#include "media/media_length.h"

#include "media/media_read.h"

#include <stdint.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
}

namespace {

// What the decoder trims: the side data that the demuxer puts on the first
// packets (encoder delay, which may reach past the first packet) and the
// last (padding).
int64_t TrimmedFrames(const AVPacket *packet) {
    size_t size = 0;
    const uint8_t *skip = av_packet_get_side_data(packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
    if (!skip || size < 8)
        return 0;
    return (int64_t)AV_RL32(skip) + (int64_t)AV_RL32(skip + 4);
}

// Every packet counted, then the stream opened afresh at its start.
bool CountPackets(MediaStream *stream) {
    int64_t frames = 0, trimmed = 0;
    bool known = true;
    AVPacket *packet = stream->Packet;
    while (known && av_read_frame(stream->Format, packet) >= 0) {
        if (packet->stream_index == stream->Index) {
            int64_t count = PacketFrames(stream, packet);
            known = count > 0;
            frames += count;
            trimmed += TrimmedFrames(packet);
        }
        av_packet_unref(packet);
    }
    stream->Length = known && frames > trimmed ? (uint64_t)(frames - trimmed) : 0;
    return RestartMediaStream(stream);
}

// The end of the track by the container's timestamps, in frames.
int64_t StatedEnd(const MediaStream *stream) {
    const AVStream *audio = stream->Format->streams[stream->Index];
    if (audio->duration <= 0)
        return 0;
    int64_t start = audio->start_time == AV_NOPTS_VALUE ? 0 : audio->start_time;
    if (start > 0 && audio->duration > INT64_MAX - start)
        return 0;
    return av_rescale_q(start + audio->duration, audio->time_base, AVRational{1, stream->Rate});
}

} // namespace

bool CountMediaLength(MediaStream *stream) {
    stream->Length = 0;
    return stream->Kind->Exact || !stream->Kind->Countable || CountPackets(stream);
}

void TakeStatedLength(MediaStream *stream) {
    int64_t end = StatedEnd(stream);
    // Ogg Opus's pre-skip is in the duration but not in the decoder's output;
    // an MP4 edit list has cut it from the duration already.
    if (!stream->Kind->StatesEnd)
        end -= stream->Format->streams[stream->Index]->codecpar->initial_padding;
    // A first timestamp below zero and a last granule near the 64-bit limit
    // give no length that fits: such a stated length is refused.
    bool fits = stream->FirstPts >= 0 || end <= INT64_MAX + stream->FirstPts;
    if (stream->Kind->Exact && end > stream->FirstPts && fits)
        stream->Length = (uint64_t)(end - stream->FirstPts);
    else if (stream->Kind->StatesEnd && end > 0 && (uint64_t)end < stream->Length)
        stream->Length = (uint64_t)end;
}
