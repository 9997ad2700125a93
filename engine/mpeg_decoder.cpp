#include "engine/mpeg_decoder.h"

#include "engine/id3_blocks.h"
#include "engine/mpeg_frames.h"
#include "engine/no_throw.h"

#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>
#include <new>
#include <vector>

namespace {

// The first frame must turn up this close to the start of the audio data; a
// file of noise is refused without reading all of it.
#define FIRST_FRAME_SEARCH (256 * 1024)
// Junk between frames is searched this far for the next frame; past it the
// stream ends. Every engine call waits while the search holds the lock.
#define MAX_RESYNC (64 * 1024)
#define BATCH_FRAMES 8
// Input the codec holds without giving anything for it: more than this means
// it takes no more, and feeding it would only grow the buffer.
#define MAX_PENDING_INPUT (64 * 1024)
#define MAX_FRAME_SAMPLES 1152
// Layer 3 decoders put out this many frames of their own before the encoder's.
#define LAYER3_DECODER_DELAY 529

struct MpegState {
    MpegReader Reader;
    MpegHeader Stream;
    DWORD Next; // offset of the next frame to feed
    bool FramesDone;
    bool Finished;
    HACMSTREAM Acm;
    bool Started;
    std::vector<BYTE> Input;
    std::vector<short> Pcm;
    DWORD PcmFrames;
    DWORD PcmAt;
    DWORD Skip;       // frames still to drop at the start
    bool Limited;     // the Info header states the length
    ULONGLONG Remain; // frames still to hand out when Limited
};

bool OpenAcm(MpegState *state) {
    const MpegHeader &header = state->Stream;
    WAVEFORMATEX pcm = {};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = (WORD)header.Channels;
    pcm.nSamplesPerSec = header.Rate;
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = (WORD)(2 * header.Channels);
    pcm.nAvgBytesPerSec = pcm.nBlockAlign * header.Rate;
    MPEGLAYER3WAVEFORMAT layer3 = {};
    MPEG1WAVEFORMAT layer12 = {};
    WAVEFORMATEX *format;
    if (header.Layer == 3) {
        format = &layer3.wfx;
        layer3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
        layer3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
        layer3.wID = MPEGLAYER3_ID_MPEG;
        layer3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
        layer3.nBlockSize = (WORD)(header.FrameBytes - (header.Padded ? 1 : 0));
        layer3.nFramesPerBlock = 1;
    } else {
        static const WORD Modes[4] = {ACM_MPEG_STEREO, ACM_MPEG_JOINTSTEREO, ACM_MPEG_DUALCHANNEL,
                                      ACM_MPEG_SINGLECHANNEL};
        format = &layer12.wfx;
        layer12.wfx.wFormatTag = WAVE_FORMAT_MPEG;
        layer12.wfx.cbSize = sizeof layer12 - sizeof(WAVEFORMATEX);
        layer12.fwHeadLayer = header.Layer == 1 ? ACM_MPEG_LAYER1 : ACM_MPEG_LAYER2;
        layer12.dwHeadBitrate = header.Bitrate;
        layer12.fwHeadMode = Modes[header.Mode];
        layer12.fwHeadModeExt = (WORD)(1 << header.ModeExtension);
        layer12.wHeadEmphasis = (WORD)(header.Emphasis + 1);
        layer12.fwHeadFlags = (WORD)((header.Protected ? ACM_MPEG_PROTECTIONBIT : 0) |
                                     (header.Version == MPEG_VERSION_1 ? ACM_MPEG_ID_MPEG1 : 0));
    }
    format->nChannels = (WORD)header.Channels;
    format->nSamplesPerSec = header.Rate;
    format->nAvgBytesPerSec = header.Bitrate / 8;
    format->nBlockAlign = header.Layer == 3 ? 1 : (WORD)header.FrameBytes;
    return acmStreamOpen(&state->Acm, NULL, format, &pcm, NULL, 0, 0,
                         ACM_STREAMOPENF_NONREALTIME) == MMSYSERR_NOERROR;
}

// The frame at Next when the stream goes on there, else the next one after
// junk that a following frame confirms.
bool NextFrame(MpegState *state, MpegHeader *header) {
    const BYTE *bytes = PeekMpeg(&state->Reader, state->Next, MPEG_HEADER_SIZE);
    if (bytes && ParseMpegHeader(bytes, header) && SameMpegStream(*header, state->Stream) &&
        header->FrameBytes <= state->Reader.End - state->Next)
        return true;
    DWORD at = state->Next;
    if (!FindMpegFrame(&state->Reader, &at, MAX_RESYNC, &state->Stream, header))
        return false;
    state->Next = at;
    return true;
}

// Appends up to a batch of whole frames to Input; false when none was left.
// The frames end at the end of the data, at junk longer than a resync
// searches, and where the file can no longer be read.
bool GatherFrames(MpegState *state) {
    int gathered = 0;
    MpegHeader header;
    while (gathered < BATCH_FRAMES) {
        const BYTE *frame = NextFrame(state, &header)
                                ? PeekMpeg(&state->Reader, state->Next, header.FrameBytes)
                                : NULL;
        if (!frame) {
            state->FramesDone = true;
            break;
        }
        state->Input.insert(state->Input.end(), frame, frame + header.FrameBytes);
        state->Next += header.FrameBytes;
        ++gathered;
    }
    return gathered > 0;
}

// One conversion of what Input holds; puts out *frames of PCM. False when
// the codec refuses.
bool Convert(MpegState *state, DWORD flags, DWORD *frames) {
    *frames = 0;
    DWORD channels = state->Stream.Channels;
    state->Pcm.resize((size_t)(BATCH_FRAMES + 2) * MAX_FRAME_SAMPLES * channels);
    ACMSTREAMHEADER header = {};
    header.cbStruct = sizeof header;
    header.pbSrc = state->Input.data();
    header.cbSrcLength = (DWORD)state->Input.size();
    header.pbDst = (BYTE *)state->Pcm.data();
    header.cbDstLength = (DWORD)(state->Pcm.size() * sizeof(short));
    if (!state->Started)
        flags |= ACM_STREAMCONVERTF_START;
    if (acmStreamPrepareHeader(state->Acm, &header, 0) != MMSYSERR_NOERROR)
        return false;
    MMRESULT result = acmStreamConvert(state->Acm, &header, flags);
    acmStreamUnprepareHeader(state->Acm, &header, 0);
    if (result != MMSYSERR_NOERROR)
        return false;
    state->Started = true;
    DWORD used = header.cbSrcLengthUsed < state->Input.size() ? header.cbSrcLengthUsed
                                                              : (DWORD)state->Input.size();
    state->Input.erase(state->Input.begin(), state->Input.begin() + used);
    *frames = header.cbDstLengthUsed / (2 * channels);
    return true;
}

// Refills Pcm; false once the stream has nothing more to give.
bool Refill(MpegState *state) {
    state->PcmAt = 0;
    state->PcmFrames = 0;
    while (!state->Finished && state->PcmFrames == 0) {
        if (!state->FramesDone && state->Input.size() < MAX_PENDING_INPUT && GatherFrames(state)) {
            // A codec that refuses its input is fed no more.
            if (!Convert(state, 0, &state->PcmFrames))
                state->Finished = true;
            continue;
        }
        state->FramesDone = true;
        // What the codec still holds comes out with the end flag; a codec
        // that keeps giving nothing ends the stream.
        if (!Convert(state, ACM_STREAMCONVERTF_END, &state->PcmFrames) || state->PcmFrames == 0)
            state->Finished = true;
    }
    return state->PcmFrames > 0;
}

// Adds to *written up to count frames.
void CopyPcm(MpegState *state, float *frames, DWORD count, DWORD *written) {
    DWORD channels = state->Stream.Channels;
    while (*written < count) {
        if (state->Limited && state->Remain == 0)
            break;
        if (state->PcmAt == state->PcmFrames && !Refill(state))
            break;
        DWORD available = state->PcmFrames - state->PcmAt;
        if (state->Skip) {
            DWORD drop = available < state->Skip ? available : state->Skip;
            state->Skip -= drop;
            state->PcmAt += drop;
            continue;
        }
        DWORD take = count - *written < available ? count - *written : available;
        if (state->Limited && take > state->Remain)
            take = (DWORD)state->Remain;
        const short *from = state->Pcm.data() + (size_t)state->PcmAt * channels;
        float *to = frames + (size_t)*written * channels;
        for (DWORD i = 0; i < take * channels; ++i)
            to[i] = from[i] / 32768.0f;
        state->PcmAt += take;
        state->Remain -= state->Limited ? take : 0;
        *written += take;
    }
}

DWORD CALLBACK ReadMpeg(void *context, float *frames, DWORD count) {
    MpegState *state = (MpegState *)context;
    DWORD written = 0;
    // Without memory for the next frames the stream ends with what it gave.
    if (!NoThrow(false, [&] {
            CopyPcm(state, frames, count, &written);
            return true;
        })) {
        state->Finished = true;
        state->PcmAt = state->PcmFrames;
    }
    return written;
}

void CALLBACK CloseMpeg(void *context) {
    MpegState *state = (MpegState *)context;
    if (state->Acm)
        acmStreamClose(state->Acm, 0);
    delete state;
}

// Finds the first frame and takes the Info header's delay and length.
bool FindStart(const TQSOURCE *source, MpegState *state) {
    DWORD start = Id3v2SkipSize(source);
    DWORD end = source->Size - (HasId3v1Block(source) ? ID3V1_SIZE : 0);
    if (start >= end)
        return false;
    StartMpegReader(&state->Reader, source, end);
    DWORD at = start;
    if (!FindMpegFrame(&state->Reader, &at, FIRST_FRAME_SEARCH, NULL, &state->Stream))
        return false;
    state->Next = at;
    const BYTE *frame = PeekMpeg(&state->Reader, at, state->Stream.FrameBytes);
    if (!frame)
        return false; // the file was cut after it was opened
    MpegGapless gapless = ReadMpegGapless(frame, state->Stream);
    if (gapless.Info)
        state->Next += state->Stream.FrameBytes;
    if (state->Stream.Layer == 3)
        state->Skip = LAYER3_DECODER_DELAY;
    if (gapless.HasDelay) {
        state->Skip += gapless.Delay;
        ULONGLONG total = (ULONGLONG)gapless.AudioFrames * state->Stream.Samples;
        state->Limited = gapless.AudioFrames > 0 && total > gapless.Delay + gapless.Padding;
        state->Remain = state->Limited ? total - gapless.Delay - gapless.Padding : 0;
    }
    return true;
}

} // namespace

BOOL CALLBACK OpenMpegDecoder(const TQSOURCE *source, TQDECODER *decoder) {
    MpegState *state = new (std::nothrow) MpegState();
    if (!state)
        return FALSE;
    // Nothing counts as MPEG audio until the codec has decoded some of it.
    if (!NoThrow(false,
                 [&] { return FindStart(source, state) && OpenAcm(state) && Refill(state); })) {
        CloseMpeg(state);
        return FALSE;
    }
    decoder->Rate = state->Stream.Rate;
    decoder->Channels = state->Stream.Channels;
    decoder->State = state;
    decoder->Read = ReadMpeg;
    decoder->Close = CloseMpeg;
    return TRUE;
}
