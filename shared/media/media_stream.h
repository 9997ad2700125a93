// One file decoding through FFmpeg: its demuxer and decoder over the
// engine's source, where it stands, and what its tags say. A stream belongs
// to one thread at a time; streams share nothing, so several decode at once.
#ifndef TONQUIL_MEDIA_MEDIA_STREAM_H
#define TONQUIL_MEDIA_MEDIA_STREAM_H

#include "media/media_kinds.h"
#include "media/media_tags.h"
#include "media/source_io.h"

#include <stdint.h>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

struct MediaStream {
    SourceIo Io;
    AVIOContext *IoContext;
    AVFormatContext *Format;
    AVCodecContext *Codec;
    AVPacket *Packet;
    AVFrame *Frame;
    const MediaKind *Kind;
    MediaSide Side;
    int Index; // the audio stream's
    int Rate;
    int Channels;
    // Kinds whose timestamps are not exact get ours: the frames of every
    // packet read from the start, before the decoder trims any.
    int64_t PacketFrames;
    // The first frame's timestamp from the start, in frames: later
    // timestamps less this are positions.
    int64_t FirstPts;
    int64_t Position; // of the first frame not yet given
    int64_t SkipTo;   // a seek's target: frames before it are dropped
    bool Anchored;    // Position is known (false from a seek to the first frame)
    int64_t Landing;  // where the first frame after a seek began
    bool Draining;    // the demuxer is done; the decoder gives what it holds
    bool Ended;
    int FrameUsed;  // frames of Frame given or dropped
    int FrameCount; // frames in Frame, 0 when it holds none
    uint64_t Length;
    MediaTags Tags;
};

// Opens source when its content is a kind of side; NULL otherwise. The source
// stays valid until the stream is closed.
MediaStream *OpenMediaStream(const TQSOURCE *source, MediaSide side);
void CloseMediaStream(MediaStream *stream);

// Closes the demuxer and decoder and opens them again at the start of the
// source, with the first frame not yet decoded; false when that fails.
bool RestartMediaStream(MediaStream *stream);

#endif
