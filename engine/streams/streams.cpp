#include "engine/streams/streams.h"

#include "engine/streams/stream_decoder.h"
#include "engine/tags/id3_blocks.h"
#include "media/id3_synthesis.h"
#include "media/no_throw.h"
#include "engine/streams/output_pool.h"
#include "engine/plugins/plugins.h"
#include "engine/streams/replay_gain.h"
#include "engine/output/sample_format.h"
#include "media/source.h"
#include "engine/streams/stream_position.h"
#include "engine/streams/track_handover.h"

#include <algorithm>
#include <new>

namespace {

// Leaves Out NULL while the device waits for another format's tail. What the
// output plays from now on is heard from the decoder's next frame. false
// when no output can be had at all.
bool StartOutput(Stream *stream) {
    DWORD rate = stream->Freq ? stream->Freq : stream->Decoder.Rate;
    if (!TakeOutput(rate, stream->Channels, (stream->Flags & BASS_SAMPLE_FLOAT) != 0, &stream->Out))
        return false;
    stream->HeardOutput = stream->Out ? stream->Out->Serial : 0;
    stream->HeardAt = stream->Out ? stream->Out->Written : 0;
    stream->HeardFrom = stream->Next;
    return true;
}

// A fed output stops at once; a drained stream has none, its tail plays on.
void LeaveOutput(Stream *stream) {
    if (stream->Out) {
        DropOutput(stream->Out);
        stream->HeardOutput = 0;
        stream->HeardFrom = stream->Next;
    }
    stream->Out = NULL;
}

// Every frame is queued: the output is free for the next stream while it
// plays them.
void HandOver(Stream *stream) {
    stream->TailOutput = stream->Out->Serial;
    stream->TailEnd = stream->Out->Written;
    ReleaseOutput(stream->Out);
    stream->Out = NULL;
}

} // namespace

// A track's stream has no tags of its own: the image's would name the album.
static bool ReadTags(Stream *stream) {
    return NoThrow(false, [&] {
        bool own = !stream->Bounds.Active;
        stream->HasTag[BASS_TAG_ID3] =
            own && ReadId3v1Block(&stream->Source, &stream->Tags[BASS_TAG_ID3]);
        stream->HasTag[BASS_TAG_ID3V2] =
            (own && ReadId3v2Block(&stream->Source, &stream->Tags[BASS_TAG_ID3V2])) ||
            BuildId3v2Tag(stream->Decoder.Artist, stream->Decoder.Title,
                          &stream->Tags[BASS_TAG_ID3V2]);
        return true;
    });
}

Stream *OpenStream(TQSOURCE *source, DWORD flags, const std::vector<Plugin> &plugins,
                   const TrackBounds *bounds, const std::wstring &image) {
    Stream *stream = new (std::nothrow) Stream();
    if (!stream) {
        CloseSource(source);
        return NULL;
    }
    stream->Source = *source;
    if (!OpenDecoder(&stream->Source, plugins, &stream->Decoder, &stream->Opener, &stream->Opener2,
                     &stream->Plugin)) {
        CloseSource(&stream->Source);
        delete stream;
        return NULL;
    }
    if (bounds && !LimitTrackStream(stream, *bounds, image)) {
        CloseSource(&stream->Source);
        delete stream;
        return NULL;
    }
    if (!ReadTags(stream)) {
        DiscardStream(stream);
        return NULL;
    }
    stream->Flags = flags;
    TakeDecoderFormat(stream);
    stream->Volume = 100;
    stream->State = BASS_ACTIVE_STOPPED;
    return stream;
}

HSTREAM AddStream(Stream *stream) {
    if (!NoThrow(false, [&] {
            Engine.Streams.push_back(stream);
            return true;
        }))
        return 0;
    stream->Handle = NewHandle();
    return stream->Handle;
}

void DiscardStream(Stream *stream) {
    CloseDecoder(stream);
    CloseSource(&stream->Source);
    delete stream;
}

void FreeStream(Stream *stream) {
    LeaveOutput(stream);
    Engine.Streams.erase(std::find(Engine.Streams.begin(), Engine.Streams.end(), stream));
    HPLUGIN plugin = stream->Plugin;
    DiscardStream(stream);
    ReleasePlugin(plugin);
}

bool PlayStream(Stream *stream, bool restart) {
    if (restart || stream->Ended || stream->Drained) {
        LeaveOutput(stream);
        if (!RestartDecoder(stream)) {
            stream->State = BASS_ACTIVE_STOPPED;
            return false;
        }
    }
    // Frames decoded ahead of a stop were never heard: they play now.
    if (stream->Cued) {
        stream->Cued = false;
        MoveDecoder(stream, stream->Cue);
    }
    if (!stream->Decoder.Read)
        return false;
    if (stream->Out)
        ResumeOutput(stream->Out);
    else if (!StartOutput(stream))
        return false;
    stream->State = BASS_ACTIVE_PLAYING;
    WakeEngine();
    return true;
}

// A drained stream has nothing left to hold back: its tail may already be
// followed by the next stream's frames.
bool PauseStream(Stream *stream) {
    if (stream->State != BASS_ACTIVE_PLAYING || stream->Drained)
        return false;
    if (stream->Out)
        PauseOutput(stream->Out);
    stream->State = BASS_ACTIVE_PAUSED;
    return true;
}

void StopStream(Stream *stream) {
    if (stream->Flags & BASS_STREAM_AUTOFREE) {
        FreeStream(stream);
        return;
    }
    if (stream->State != BASS_ACTIVE_STOPPED && !stream->Drained) {
        stream->Cue = HeardFrame(stream);
        stream->Cued = stream->Cue != stream->Next;
    }
    LeaveOutput(stream);
    stream->State = BASS_ACTIVE_STOPPED;
}

bool SetStreamPosition(Stream *stream, ULONGLONG frame) {
    // Its end sync has told the caller the stream is over; it is, until its
    // tail has been heard.
    if (stream->Drained && stream->State != BASS_ACTIVE_STOPPED)
        return false;
    if (!MoveDecoder(stream, frame))
        return false;
    stream->Cued = false;
    if (stream->State == BASS_ACTIVE_STOPPED)
        return true;
    // Whatever was queued, this stream's or a tail before it, gives way.
    LeaveOutput(stream);
    if (stream->State == BASS_ACTIVE_PLAYING) {
        StartOutput(stream);
        WakeEngine();
    }
    return true;
}

bool StreamHeard(Stream *stream) {
    Output *out = FindOutput(stream->TailOutput);
    return !out || OutputHasPlayed(out, stream->TailEnd);
}

void EndStream(Stream *stream) {
    stream->State = BASS_ACTIVE_STOPPED;
    stream->Ended = true;
}

bool FeedStream(Stream *stream) {
    if (!stream->Out)
        StartOutput(stream);
    Output *out = stream->Out;
    if (!out)
        return false;
    OutputBuffer *buffer;
    while (!stream->Drained && (buffer = IdleBuffer(out)) != NULL) {
        DWORD frames = Decode(stream, out->BufferFrames);
        if (frames == 0)
            break;
        if (stream->Channels != stream->Decoder.Channels)
            MixToMono(stream->Scratch.data(), frames, stream->Decoder.Channels);
        float gains[TQ_MAX_CHANNELS];
        ChannelGains(stream->Volume, stream->Pan, stream->Channels, gains);
        float replayGain = ReplayGainFactor(&stream->Decoder, Engine.ReplayGain);
        for (DWORD channel = 0; channel < stream->Channels; ++channel)
            gains[channel] *= replayGain;
        PackSamples(stream->Scratch.data(), frames, stream->Channels, gains, out->AsFloat,
                    buffer->Bytes.data());
        QueueBuffer(out, buffer, frames);
    }
    if (stream->Drained)
        HandOver(stream);
    return stream->Drained;
}
