#include "decoders/tta_decoder.h"

#include "decoders/ape_tags.h"
#include "decoders/tta_frame.h"
#include "engine/id3_blocks.h"
#include "engine/source.h"

#include <string.h>
#include <vector>

namespace {

#define HEADER_SIZE 22
#define CRC_SIZE 4
#define SIMPLE_FORMAT 1
#define MAX_CHANNELS 8
#define MAX_RATE 1000000

struct TtaHeader {
    DWORD Channels;
    DWORD BytesPerSample;
    DWORD Rate;
    DWORD Frames; // per channel, in the whole stream
};

struct TtaState {
    const TQSOURCE *Source;
    TtaHeader Header;
    DWORD BlockFrames; // frames per block but the last
    // Block i lies at BlockStart[i] and ends where block i + 1 starts.
    std::vector<DWORD> BlockStart;
    DWORD NextBlock;
    std::vector<BYTE> Raw;
    std::vector<int32_t> Samples;
    DWORD SamplesFrames;
    DWORD SamplesAt;
    TrackNames Names;
};

DWORD Little(const BYTE *bytes, int count) {
    DWORD value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

// CRC-32 as zlib computes it, which TTA uses for its header, table and blocks.
DWORD Crc32(const BYTE *bytes, size_t count) {
    DWORD crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

bool ReadHeader(const TQSOURCE *source, DWORD at, TtaHeader *header) {
    BYTE bytes[HEADER_SIZE];
    if (!ReadExactly(source, at, bytes, sizeof bytes) || memcmp(bytes, "TTA1", 4) != 0 ||
        Crc32(bytes, HEADER_SIZE - CRC_SIZE) != Little(bytes + 18, 4))
        return false;
    DWORD bits = Little(bytes + 8, 2);
    header->Channels = Little(bytes + 6, 2);
    header->BytesPerSample = (bits + 7) / 8;
    header->Rate = Little(bytes + 10, 4);
    header->Frames = Little(bytes + 14, 4);
    // Format 2 is encrypted with a password the player cannot ask for.
    return Little(bytes + 4, 2) == SIMPLE_FORMAT && (bits == 8 || bits == 16 || bits == 24) &&
           header->Channels >= 1 && header->Channels <= MAX_CHANNELS && header->Rate > 0 &&
           header->Rate <= MAX_RATE && header->Frames > 0;
}

// Reads the seek table after the header and turns its block sizes into
// offsets. Blocks that reach past the source's end are dropped: what lies
// before them still plays.
bool ReadSeekTable(TtaState *state, DWORD tableAt) {
    const TQSOURCE *source = state->Source;
    DWORD blocks = state->Header.Frames / state->BlockFrames +
                   (state->Header.Frames % state->BlockFrames ? 1 : 0);
    ULONGLONG tableBytes = (ULONGLONG)blocks * 4;
    if (tableBytes + CRC_SIZE > source->Size - tableAt)
        return false;
    std::vector<BYTE> table((size_t)tableBytes);
    if (!ReadExactly(source, tableAt, table.data(), (DWORD)tableBytes))
        return false;
    ULONGLONG at = tableAt + tableBytes + CRC_SIZE;
    state->BlockStart.push_back((DWORD)at);
    for (DWORD i = 0; i < blocks; ++i) {
        at += Little(&table[(size_t)i * 4], 4);
        if (at > source->Size)
            break;
        state->BlockStart.push_back((DWORD)at);
    }
    return state->BlockStart.size() > 1;
}

DWORD FramesInBlock(const TtaState *state, DWORD block) {
    DWORD before = block * state->BlockFrames;
    DWORD left = state->Header.Frames - before;
    return left < state->BlockFrames ? left : state->BlockFrames;
}

// Decodes the next block into Samples; a block whose checksum or codes do
// not hold plays as silence of its length.
bool DecodeBlock(TtaState *state) {
    if (state->NextBlock + 1 >= state->BlockStart.size())
        return false;
    DWORD block = state->NextBlock++;
    DWORD frames = FramesInBlock(state, block);
    DWORD start = state->BlockStart[block];
    DWORD size = state->BlockStart[block + 1] - start;
    size_t count = (size_t)frames * state->Header.Channels;
    state->Samples.assign(count, 0);
    state->SamplesFrames = frames;
    state->SamplesAt = 0;
    if (size < CRC_SIZE)
        return true;
    state->Raw.resize(size);
    if (!ReadExactly(state->Source, start, state->Raw.data(), size))
        return true;
    DWORD body = size - CRC_SIZE;
    if (Crc32(state->Raw.data(), body) != Little(&state->Raw[body], 4) ||
        !DecodeTtaFrame(state->Raw.data(), body, state->Header.Channels,
                        state->Header.BytesPerSample, frames, state->Samples.data()))
        state->Samples.assign(count, 0);
    return true;
}

DWORD CALLBACK ReadTta(void *context, float *frames, DWORD count) {
    TtaState *state = (TtaState *)context;
    DWORD channels = state->Header.Channels;
    float scale = 1.0f / (float)(1u << (state->Header.BytesPerSample * 8 - 1));
    DWORD written = 0;
    while (written < count && (state->SamplesAt < state->SamplesFrames || DecodeBlock(state))) {
        DWORD take = state->SamplesFrames - state->SamplesAt;
        if (take > count - written)
            take = count - written;
        const int32_t *from = &state->Samples[(size_t)state->SamplesAt * channels];
        for (DWORD i = 0; i < take * channels; ++i)
            frames[(size_t)written * channels + i] = (float)from[i] * scale;
        state->SamplesAt += take;
        written += take;
    }
    return written;
}

void CALLBACK CloseTta(void *context) {
    delete (TtaState *)context;
}

} // namespace

BOOL CALLBACK OpenTtaDecoder(const TQSOURCE *source, TQDECODER *decoder) {
    DWORD at = Id3v2SkipSize(source);
    TtaHeader header;
    if (!ReadHeader(source, at, &header))
        return FALSE;
    TtaState *state = new TtaState();
    state->Source = source;
    state->Header = header;
    // The format's block length: 256/245 of a second.
    state->BlockFrames = (DWORD)((ULONGLONG)header.Rate * 256 / 245);
    if (!ReadSeekTable(state, at + HEADER_SIZE)) {
        delete state;
        return FALSE;
    }
    ReadApeNames(source, &state->Names);
    decoder->Rate = header.Rate;
    decoder->Channels = header.Channels;
    decoder->State = state;
    decoder->Read = ReadTta;
    decoder->Close = CloseTta;
    PublishNames(state->Names, decoder);
    return TRUE;
}
