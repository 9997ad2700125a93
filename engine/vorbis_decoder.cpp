#include "engine/vorbis_decoder.h"

#include "engine/ogg_pages.h"
#include "engine/source.h"
#include "engine/stb_vorbis_unit.h"
#include "engine/vorbis_comments.h"

#define STB_VORBIS_HEADER_ONLY
#define STB_VORBIS_NO_PULLDATA_API
#include <stb_vorbis.h>

#include <string.h>
#include <vector>

namespace {

#define MAX_CHANNELS 8
#define FIRST_READ 4096
#define READ_BLOCK 65536
// Headers with embedded pictures can be large, and Vorbis does not bound a
// packet: past this much a stream is taken as damaged.
#define MAX_BUFFER (16 * 1024 * 1024)

// Vorbis orders the channels of its standard layouts differently from WAV
// and waveOut: WavOrder[n - 1][i] is the Vorbis channel that WAV channel i
// of an n-channel stream comes from.
const int WavOrder[MAX_CHANNELS][MAX_CHANNELS] = {
    {0},
    {0, 1},
    {0, 2, 1},
    {0, 1, 2, 3},
    {0, 2, 1, 3, 4},
    {0, 2, 1, 5, 3, 4},
    {0, 2, 1, 6, 5, 3, 4},
    {0, 2, 1, 7, 5, 6, 3, 4},
};

struct VorbisState {
    const TQSOURCE *Source;
    stb_vorbis *Codec;
    DWORD Channels;
    // Bytes of the source read but not yet taken by the codec: Buffer[Start, End),
    // which came from the source just before offset NextRead.
    std::vector<BYTE> Buffer;
    size_t Start;
    size_t End;
    DWORD NextRead;
    // The codec's last decoded frames, handed out from OutputAt on.
    float **Output;
    int OutputFrames;
    int OutputAt;
    bool Finished;
    bool HasLength;
    ULONGLONG FramesLeft;
    TrackNames Names;
};

// Moves the unread bytes to the front and reads more behind them; grows the
// buffer when the codec needs more than it holds. False at the source's end.
bool Refill(VorbisState *state) {
    std::vector<BYTE> &buffer = state->Buffer;
    size_t unread = state->End - state->Start;
    memmove(buffer.data(), buffer.data() + state->Start, unread);
    state->Start = 0;
    state->End = unread;
    if (unread == buffer.size()) {
        if (buffer.size() >= MAX_BUFFER)
            return false;
        buffer.resize(buffer.size() * 2);
    }
    DWORD wanted = (DWORD)(buffer.size() - unread);
    DWORD got = state->Source->Read(state->Source->Context, state->NextRead, buffer.data() + unread,
                                    wanted);
    state->NextRead += got;
    state->End += got;
    return got > 0;
}

// Decodes the next packet that gives frames; false at the end of the stream.
bool DecodeNext(VorbisState *state) {
    while (!state->Finished) {
        int channels = 0, frames = 0;
        float **output = NULL;
        int used = stb_vorbis_decode_frame_pushdata(
            state->Codec, state->Buffer.data() + state->Start, (int)(state->End - state->Start),
            &channels, &output, &frames);
        if (used > 0) {
            state->Start += (size_t)used;
            if (frames > 0 && channels == (int)state->Channels) {
                state->Output = output;
                state->OutputFrames = frames;
                state->OutputAt = 0;
                return true;
            }
        } else if (!Refill(state)) {
            state->Finished = true;
        }
    }
    return false;
}

DWORD CALLBACK ReadVorbis(void *context, float *frames, DWORD count) {
    VorbisState *state = (VorbisState *)context;
    if (state->HasLength && count > state->FramesLeft)
        count = (DWORD)state->FramesLeft;
    const int *order = WavOrder[state->Channels - 1];
    DWORD written = 0;
    while (written < count && (state->OutputAt < state->OutputFrames || DecodeNext(state))) {
        DWORD take = (DWORD)(state->OutputFrames - state->OutputAt);
        if (take > count - written)
            take = count - written;
        for (DWORD i = 0; i < take; ++i)
            for (DWORD c = 0; c < state->Channels; ++c)
                frames[(written + i) * state->Channels + c] =
                    state->Output[order[c]][state->OutputAt + (int)i];
        state->OutputAt += (int)take;
        written += take;
    }
    if (state->HasLength)
        state->FramesLeft -= written;
    return written;
}

void CALLBACK CloseVorbis(void *context) {
    VorbisState *state = (VorbisState *)context;
    if (state->Codec)
        stb_vorbis_close(state->Codec);
    delete state;
}

// Opens the codec on the headers at the start, reading more of the source
// as long as it asks for more.
bool OpenCodec(VorbisState *state) {
    const TQSOURCE *source = state->Source;
    DWORD size = FIRST_READ;
    for (;;) {
        if (size > source->Size)
            size = source->Size;
        state->Buffer.resize(size < READ_BLOCK ? READ_BLOCK : size);
        state->End = source->Read(source->Context, 0, state->Buffer.data(), size);
        int used = 0, error = 0;
        state->Codec =
            stb_vorbis_open_pushdata(state->Buffer.data(), (int)state->End, &used, &error, NULL);
        if (state->Codec) {
            state->Start = (size_t)used;
            state->NextRead = (DWORD)state->End;
            return true;
        }
        if (error != VORBIS_need_more_data || size >= source->Size || size >= MAX_BUFFER)
            return false;
        size *= 4;
    }
}

void TakeNames(VorbisState *state) {
    stb_vorbis_comment comments = stb_vorbis_get_comment(state->Codec);
    for (int i = 0; i < comments.comment_list_length; ++i)
        if (comments.comment_list[i])
            TakeVorbisComment(comments.comment_list[i], strlen(comments.comment_list[i]),
                              &state->Names);
}

} // namespace

BOOL CALLBACK OpenVorbisDecoder(const TQSOURCE *source, TQDECODER *decoder) {
    DWORD serial;
    // stb_vorbis 1.22 trusts the comment header's counts: a damaged one makes
    // it allocate without bound and then read through a null pointer.
    std::vector<BYTE> comments;
    if (!FirstOggSerial(source, &serial) || !ReadOggPacket(source, 1, MAX_BUFFER, &comments) ||
        !CommentHeaderHolds(comments))
        return FALSE;
    VorbisState *state = new VorbisState();
    state->Source = source;
    stb_vorbis_info info = {};
    if (OpenCodec(state) && !VorbisHasSubmaps(state->Codec))
        info = stb_vorbis_get_info(state->Codec);
    if (info.channels < 1 || info.channels > MAX_CHANNELS || info.sample_rate == 0) {
        CloseVorbis(state);
        return FALSE;
    }
    state->Channels = (DWORD)info.channels;
    state->HasLength = LastOggGranule(source, serial, &state->FramesLeft);
    TakeNames(state);
    decoder->Rate = info.sample_rate;
    decoder->Channels = state->Channels;
    decoder->State = state;
    decoder->Read = ReadVorbis;
    decoder->Close = CloseVorbis;
    PublishNames(state->Names, decoder);
    return TRUE;
}
