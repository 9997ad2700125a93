// A decoder plug-in for the engine's tests: reads the tone format of
// tone_format.h through the engine's source and decodes the square wave.
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

void CALLBACK CloseTone(void *state) {
    delete (ToneState *)state;
}

} // namespace

extern "C" BOOL CALLBACK TonquilDecoderOpen(const TQSOURCE *source, TQDECODER *decoder) {
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
    if (state->Tone.Period < 2) {
        delete state;
        return FALSE;
    }
    decoder->Rate = state->Tone.Rate;
    decoder->Channels = state->Tone.Channels;
    decoder->State = state;
    decoder->Read = ReadTone;
    decoder->Close = CloseTone;
    return TRUE;
}
