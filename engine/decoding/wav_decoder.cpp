#include "engine/decoding/wav_decoder.h"

#include "media/source.h"

#include "media/no_throw.h"

#include <new>
#include <string.h>
#include <vector>

namespace {

#define RIFF_HEADER_SIZE 12
#define CHUNK_HEADER_SIZE 8
#define FORMAT_PCM 1
#define FORMAT_FLOAT 3
#define FORMAT_EXTENSIBLE 0xFFFE
#define READ_FRAMES 4096

struct WavFormat {
    WORD Tag; // PCM or float once the extensible form is resolved
    WORD Channels;
    DWORD Rate;
    WORD BlockAlign;
    WORD Bits;
};

struct WavState {
    const TQSOURCE *Source;
    WavFormat Format;
    DWORD DataStart;
    DWORD DataFrames;
    DWORD NextFrame;
    std::vector<BYTE> Raw;
};

DWORD ReadLittle(const BYTE *bytes, int count) {
    DWORD value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

// The sub-format GUID of the extensible form starts with the plain format tag
// and goes on with this fixed tail.
const BYTE SubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool ParseFormat(const BYTE *chunk, DWORD size, WavFormat *format) {
    if (size < 16)
        return false;
    format->Tag = (WORD)ReadLittle(chunk, 2);
    format->Channels = (WORD)ReadLittle(chunk + 2, 2);
    format->Rate = ReadLittle(chunk + 4, 4);
    format->BlockAlign = (WORD)ReadLittle(chunk + 12, 2);
    format->Bits = (WORD)ReadLittle(chunk + 14, 2);
    if (format->Tag == FORMAT_EXTENSIBLE) {
        if (size < 40 || ReadLittle(chunk + 16, 2) < 22 || memcmp(chunk + 26, SubFormatTail, 14))
            return false;
        format->Tag = (WORD)ReadLittle(chunk + 24, 2);
    }
    bool bitsFit = format->Tag == FORMAT_PCM ? (format->Bits == 8 || format->Bits == 16 ||
                                                format->Bits == 24 || format->Bits == 32)
                                             : format->Tag == FORMAT_FLOAT && format->Bits == 32;
    return bitsFit && format->Channels >= 1 && format->Channels <= TQ_MAX_CHANNELS &&
           format->Rate > 0 && format->BlockAlign == format->Channels * (format->Bits / 8);
}

// Walks the chunks by their sizes. Every size is checked against what is left
// of the file; a data chunk cut short by the file's end keeps what is there.
bool FindChunks(const TQSOURCE *source, WavState *state) {
    BYTE riff[RIFF_HEADER_SIZE];
    if (!ReadExactly(source, 0, riff, sizeof riff) || memcmp(riff, "RIFF", 4) != 0 ||
        memcmp(riff + 8, "WAVE", 4) != 0)
        return false;
    DWORD end = source->Size;
    DWORD declared = ReadLittle(riff + 4, 4);
    if (declared >= 4 && declared - 4 < end - RIFF_HEADER_SIZE)
        end = RIFF_HEADER_SIZE + (declared - 4);
    bool haveFormat = false;
    DWORD at = RIFF_HEADER_SIZE;
    while (end - at >= CHUNK_HEADER_SIZE) {
        BYTE header[CHUNK_HEADER_SIZE];
        if (!ReadExactly(source, at, header, sizeof header))
            return false;
        DWORD size = ReadLittle(header + 4, 4);
        DWORD body = at + CHUNK_HEADER_SIZE;
        DWORD left = end - body;
        if (memcmp(header, "fmt ", 4) == 0) {
            BYTE chunk[40] = {};
            DWORD wanted = size < sizeof chunk ? size : (DWORD)sizeof chunk;
            if (size > left || !ReadExactly(source, body, chunk, wanted) ||
                !ParseFormat(chunk, size, &state->Format))
                return false;
            haveFormat = true;
        } else if (memcmp(header, "data", 4) == 0) {
            if (!haveFormat)
                return false;
            DWORD bytes = size < left ? size : left;
            state->DataStart = body;
            state->DataFrames = bytes / state->Format.BlockAlign;
            return state->DataFrames > 0;
        }
        if (size >= left)
            return false;
        at = body + size + (size & 1); // odd chunks carry a pad byte
        if (at < body)
            return false;
    }
    return false;
}

float SampleAt(const BYTE *bytes, const WavFormat &format) {
    if (format.Tag == FORMAT_FLOAT) {
        float value;
        memcpy(&value, bytes, sizeof value);
        return value;
    }
    switch (format.Bits) {
    case 8:
        return ((int)bytes[0] - 128) / 128.0f;
    case 16:
        return (short)ReadLittle(bytes, 2) / 32768.0f;
    case 24:
        return ((int)(ReadLittle(bytes, 3) << 8) >> 8) / 8388608.0f;
    default:
        return (float)((int)ReadLittle(bytes, 4) / 2147483648.0);
    }
}

DWORD CALLBACK ReadWav(void *context, float *frames, DWORD count) {
    WavState *state = (WavState *)context;
    DWORD left = state->DataFrames - state->NextFrame;
    if (count > left)
        count = left;
    if (count > READ_FRAMES)
        count = READ_FRAMES;
    const WavFormat &format = state->Format;
    DWORD bytes = count * format.BlockAlign;
    DWORD got = state->Source->Read(state->Source->Context,
                                    state->DataStart + state->NextFrame * format.BlockAlign,
                                    state->Raw.data(), bytes);
    DWORD whole = got / format.BlockAlign;
    DWORD sampleBytes = format.Bits / 8;
    for (DWORD i = 0; i < whole * format.Channels; ++i)
        frames[i] = SampleAt(state->Raw.data() + i * sampleBytes, format);
    // A read failure ends the stream rather than repeating the same frames.
    state->NextFrame = whole == count ? state->NextFrame + whole : state->DataFrames;
    return whole;
}

BOOL CALLBACK SeekWav(void *context, ULONGLONG frame) {
    WavState *state = (WavState *)context;
    if (frame >= state->DataFrames)
        return FALSE;
    state->NextFrame = (DWORD)frame;
    return TRUE;
}

void CALLBACK CloseWav(void *context) {
    delete (WavState *)context;
}

} // namespace

BOOL CALLBACK OpenWavDecoder(const TQSOURCE *source, TQDECODER *decoder) {
    WavState *state = new (std::nothrow) WavState();
    if (!state)
        return FALSE;
    state->Source = source;
    if (!FindChunks(source, state) || !NoThrow(false, [&] {
            state->Raw.resize((size_t)READ_FRAMES * state->Format.BlockAlign);
            return true;
        })) {
        delete state;
        return FALSE;
    }
    decoder->Rate = state->Format.Rate;
    decoder->Channels = state->Format.Channels;
    decoder->State = state;
    decoder->Read = ReadWav;
    decoder->Close = CloseWav;
    decoder->Length = state->DataFrames;
    decoder->Seek = SeekWav;
    return TRUE;
}
