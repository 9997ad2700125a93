// A decoder plug-in for the engine's tests: reads the tone format of
// tone_format.h through the engine's source and decodes the square wave. It
// is of version 3: it states the length, seeks and gives ReplayGain values,
// each as the file's options say, and can hold its open until a test lets it go.
#include "tonquil_decoder_plugin.h"
#include "tone_format.h"

#include <string.h>

namespace {

struct ToneState {
    ToneHeader Tone;
    DWORD Next;
};

DWORD Little(const BYTE *bytes, int count) {
    DWORD value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

float LittleFloat(const BYTE *bytes) {
    DWORD bits = Little(bytes, 4);
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

DWORD CALLBACK ReadTone(void *state, float *frames, DWORD count) {
    ToneState *tone = (ToneState *)state;
    DWORD left = tone->Tone.Frames - tone->Next;
    if (count > left)
        count = left;
    for (DWORD i = 0; i < count; ++i, ++tone->Next)
        for (DWORD c = 0; c < tone->Tone.Channels; ++c)
            frames[i * tone->Tone.Channels + c] = ToneSample(tone->Tone, tone->Next, c) / 32768.0f;
    return count;
}

BOOL CALLBACK SeekTone(void *state, ULONGLONG frame) {
    ToneState *tone = (ToneState *)state;
    if ((tone->Tone.Options & TONE_REFUSE_SEEK) || frame >= tone->Tone.Frames)
        return FALSE;
    tone->Next = (DWORD)frame;
    return TRUE;
}

void CALLBACK CloseTone(void *state) {
    delete (ToneState *)state;
}

void ReadExtension(const TQSOURCE *source, ToneHeader *tone) {
    BYTE extension[TONE_EXTENSION_SIZE];
    if (source->Read(source->Context, TONE_HEADER_SIZE, extension, sizeof extension) !=
        sizeof extension)
        return;
    tone->Options = Little(extension, 4);
    tone->GainFlags = Little(extension + 4, 4);
    tone->TrackGain = LittleFloat(extension + 8);
    tone->TrackPeak = LittleFloat(extension + 12);
    tone->AlbumGain = LittleFloat(extension + 16);
    tone->AlbumPeak = LittleFloat(extension + 20);
}

void HoldOpen() {
    HANDLE opening = OpenEventW(EVENT_MODIFY_STATE, FALSE, TONE_OPENING_EVENT);
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, TONE_RELEASE_EVENT);
    if (opening) {
        SetEvent(opening);
        CloseHandle(opening);
    }
    if (release) {
        WaitForSingleObject(release, TONE_HOLD_LIMIT_MS);
        CloseHandle(release);
    }
}

BOOL Open(const TQSOURCE *source, TQDECODER *decoder, DWORD decoderSize) {
    BYTE header[TONE_HEADER_SIZE];
    if (source->Read(source->Context, 0, header, sizeof header) != sizeof header ||
        memcmp(header, TONE_MAGIC, TONE_MAGIC_SIZE) != 0)
        return FALSE;
    ToneState *state = new ToneState();
    state->Tone.Rate = Little(header + 8, 4);
    state->Tone.Channels = Little(header + 12, 4);
    state->Tone.Frames = Little(header + 16, 4);
    state->Tone.Period = Little(header + 20, 4);
    state->Tone.Amplitude = (WORD)Little(header + 24, 2);
    ReadExtension(source, &state->Tone);
    if (state->Tone.Options & TONE_HOLD_OPEN)
        HoldOpen();
    if (state->Tone.Period < 2) {
        delete state;
        return FALSE;
    }
    const ToneHeader &tone = state->Tone;
    decoder->Rate = tone.Rate;
    decoder->Channels = tone.Channels;
    decoder->State = state;
    decoder->Read = ReadTone;
    decoder->Close = CloseTone;
    if (decoderSize < sizeof *decoder)
        return TRUE;
    decoder->Length = (tone.Options & TONE_NO_LENGTH)     ? 0
                      : (tone.Options & TONE_HUGE_LENGTH) ? ~0ull
                                                          : tone.Frames;
    decoder->Seek = (tone.Options & TONE_NO_SEEK) ? NULL : SeekTone;
    decoder->GainFlags = tone.GainFlags;
    decoder->TrackGain = tone.TrackGain;
    decoder->TrackPeak = tone.TrackPeak;
    decoder->AlbumGain = tone.AlbumGain;
    decoder->AlbumPeak = tone.AlbumPeak;
    return TRUE;
}

} // namespace

extern "C" BOOL CALLBACK TonquilDecoderOpen(const TQSOURCE *source, TQDECODER *decoder) {
    return Open(source, decoder, TQ_DECODER_SIZE_V1);
}

extern "C" BOOL CALLBACK TonquilDecoderOpen2(const TQSOURCE *source, TQDECODER *decoder,
                                             DWORD decoderSize) {
    return Open(source, decoder, decoderSize);
}
