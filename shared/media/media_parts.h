// A stream's record, and the demuxer and decoder it decodes through, opened
// over its source and closed again. What reads, seeks and measures a stream
// stands on this; opening a whole stream (media_stream.h) stands on those.
#ifndef TONQUIL_MEDIA_MEDIA_PARTS_H
#define TONQUIL_MEDIA_MEDIA_PARTS_H

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

// Opens the demuxer and the decoder at the start of the source, with the
// first frame not yet decoded; false when either fails (CloseMediaParts
// then frees what was opened).
bool OpenMediaParts(MediaStream *stream);
void CloseMediaParts(MediaStream *stream);

// Closes the demuxer and decoder and opens them again at the start of the
// source, with the first frame not yet decoded; false when that fails.
bool RestartMediaStream(MediaStream *stream);

#endif
