#include "engine/streams/stream_decoder.h"

#include "engine/decoding/media_decoders.h"
#include "engine/decoding/wav_decoder.h"

namespace {

#define MAX_LENGTH (1ull << 48) // frames: nine years at the highest rate

const TQDECODEROPEN BuiltInDecoders[] = {OpenWavDecoder, OpenEngineMediaDecoder};

bool Plausible(const TQDECODER &decoder) {
    return decoder.Read && decoder.Close && decoder.Rate > 0 && decoder.Rate <= TQ_MAX_RATE &&
           decoder.Channels >= 1 && decoder.Channels <= TQ_MAX_CHANNELS;
}

// A plug-in of version 2 is opened through open2 and fills the whole decoder;
// one of version 1 leaves the later fields empty.
bool TryDecoder(TQDECODEROPEN open, TQDECODEROPEN2 open2, const TQSOURCE *source,
                TQDECODER *decoder) {
    TQDECODER candidate = {};
    if (!(open2 ? open2(source, &candidate, sizeof candidate) : open(source, &candidate)))
        return false;
    if (!Plausible(candidate)) {
        if (candidate.Close)
            candidate.Close(candidate.State);
        return false;
    }
    *decoder = candidate;
    return true;
}

} // namespace

void CloseDecoder(Stream *stream) {
    if (stream->Decoder.Read)
        stream->Decoder.Close(stream->Decoder.State);
    stream->Decoder = TQDECODER();
}

// A decoder of version 3 states a length; the engine learns it otherwise
// when the decoder gives its last frame. A length whose bytes could not be
// counted is no length.
void TakeDecoderFormat(Stream *stream) {
    stream->Channels = (stream->Flags & BASS_SAMPLE_MONO) ? 1 : stream->Decoder.Channels;
    stream->Next = 0;
    stream->Length = stream->Decoder.Length <= MAX_LENGTH ? stream->Decoder.Length : 0;
}

bool RestartDecoder(Stream *stream) {
    CloseDecoder(stream);
    stream->Drained = false;
    stream->Ended = false;
    stream->Cued = false;
    if (!TryDecoder(stream->Opener, stream->Opener2, &stream->Source, &stream->Decoder) ||
        (stream->Bounds.Active && !LimitDecoder(&stream->Decoder, &stream->Bounds, 0)))
        return false;
    TakeDecoderFormat(stream);
    return true;
}

DWORD Decode(Stream *stream, DWORD count) {
    DWORD channels = stream->Decoder.Channels;
    stream->Scratch.resize((size_t)count * channels);
    DWORD got = 0;
    while (got < count && stream->Decoder.Read) {
        DWORD read = stream->Decoder.Read(
            stream->Decoder.State, stream->Scratch.data() + (size_t)got * channels, count - got);
        if (read == 0 || read > count - got)
            break;
        got += read;
    }
    stream->Next += got;
    if (got < count) {
        stream->Drained = true;
        stream->Length = stream->Next;
    }
    return got;
}

bool OpenDecoder(const TQSOURCE *source, const std::vector<Plugin> &plugins, TQDECODER *decoder,
                 TQDECODEROPEN *opener, TQDECODEROPEN2 *opener2, HPLUGIN *plugin) {
    for (TQDECODEROPEN open : BuiltInDecoders)
        if (TryDecoder(open, NULL, source, decoder)) {
            *opener = open;
            *opener2 = NULL;
            *plugin = 0;
            return true;
        }
    for (const Plugin &candidate : plugins)
        if (!candidate.Freed && TryDecoder(candidate.Open, candidate.Open2, source, decoder)) {
            *opener = candidate.Open;
            *opener2 = candidate.Open2;
            *plugin = candidate.Handle;
            return true;
        }
    return false;
}
