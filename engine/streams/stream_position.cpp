#include "engine/streams/stream_position.h"

#include "engine/streams/output_pool.h"
#include "engine/streams/stream_decoder.h"

namespace {

#define SKIP_FRAMES 4096

// Decodes and drops frames up to frame, from the start again when it lies
// behind the decoder. False when the decoder ends before it.
bool DecodeUpTo(Stream *stream, ULONGLONG frame) {
    if ((frame < stream->Next || !stream->Decoder.Read) && !RestartDecoder(stream))
        return false;
    while (stream->Next < frame) {
        ULONGLONG left = frame - stream->Next;
        DWORD count = left < SKIP_FRAMES ? (DWORD)left : SKIP_FRAMES;
        if (Decode(stream, count) < count)
            return false;
    }
    return true;
}

// Whether the frame the decoder is at exists, for a decoder that cannot tell
// its length: decoding it and coming back costs a second pass.
bool FrameFollows(Stream *stream) {
    ULONGLONG frame = stream->Next;
    return Decode(stream, 1) == 1 && DecodeUpTo(stream, frame);
}

} // namespace

ULONGLONG HeardFrame(const Stream *stream) {
    if (stream->State == BASS_ACTIVE_STOPPED)
        return stream->Cued ? stream->Cue : stream->Next;
    Output *out = FindOutput(stream->HeardOutput);
    if (!out)
        return stream->Drained ? stream->Next : stream->HeardFrom;
    ULONGLONG played = OutputPlayedFrames(out);
    if (played <= stream->HeardAt)
        return stream->HeardFrom;
    ULONGLONG heard = stream->HeardFrom + (played - stream->HeardAt);
    return heard < stream->Next ? heard : stream->Next;
}

bool MoveDecoder(Stream *stream, ULONGLONG frame) {
    if (stream->Length && frame >= stream->Length)
        return false;
    ULONGLONG was = stream->Next;
    bool drained = stream->Drained, ended = stream->Ended;
    bool moved = stream->Decoder.Read && stream->Decoder.Seek &&
                 stream->Decoder.Seek(stream->Decoder.State, frame);
    if (moved)
        stream->Next = frame;
    else if (!DecodeUpTo(stream, frame) || (!stream->Length && !FrameFollows(stream))) {
        // The file ends before the frame (its length was not known, or was
        // wrong): back to where the decoder was, which it reached before,
        // knowing the length now.
        ULONGLONG length = stream->Drained ? stream->Next : stream->Length;
        DecodeUpTo(stream, was);
        stream->Length = length;
        stream->Drained = drained;
        stream->Ended = ended;
        return false;
    }
    stream->Drained = false;
    stream->Ended = false;
    return true;
}
