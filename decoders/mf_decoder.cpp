// Media Foundation arrived with Windows 7; the rest of the plug-in (and its
// loading) does not need it.
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0601
#define _WIN32_WINNT 0x0601

#include "decoders/mf_decoder.h"

#include "decoders/container_tags.h"
#include "decoders/flac_tags.h"
#include "decoders/mf_stream.h"
#include "engine/id3_blocks.h"
#include "engine/source.h"

#include <initguid.h>
#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <string.h>
#include <vector>

namespace {

#define MAX_CHANNELS 8
#define MAX_RATE 1000000
#define AUDIO_STREAM ((DWORD)MF_SOURCE_READER_FIRST_AUDIO_STREAM)

typedef HRESULT(WINAPI *MFStartup_t)(ULONG, DWORD);
typedef HRESULT(WINAPI *MFCreateMFByteStreamOnStream_t)(IStream *, IMFByteStream **);
typedef HRESULT(WINAPI *MFCreateMediaType_t)(IMFMediaType **);
typedef HRESULT(WINAPI *MFCreateSourceReaderFromByteStream_t)(IMFByteStream *, IMFAttributes *,
                                                              IMFSourceReader **);

// Media Foundation's entry points, looked up once; all NULL where it is missing.
// Once started it stays loaded for the process's life, also when the player
// frees this plug-in: its own threads may still be winding down.
struct MediaFoundation {
    bool Tried;
    MFCreateMFByteStreamOnStream_t CreateByteStream;
    MFCreateMediaType_t CreateMediaType;
    MFCreateSourceReaderFromByteStream_t CreateReader;
};
MediaFoundation Mf;

bool LoadMediaFoundation() {
    if (!Mf.Tried) {
        Mf.Tried = true;
        HMODULE plat = LoadLibraryW(L"mfplat.dll");
        HMODULE readwrite = plat ? LoadLibraryW(L"mfreadwrite.dll") : NULL;
        MFStartup_t startup = plat ? (MFStartup_t)(void *)GetProcAddress(plat, "MFStartup") : NULL;
        if (readwrite && startup && SUCCEEDED(startup(MF_VERSION, MFSTARTUP_LITE))) {
            Mf.CreateByteStream = (MFCreateMFByteStreamOnStream_t)(void *)GetProcAddress(
                plat, "MFCreateMFByteStreamOnStream");
            Mf.CreateMediaType =
                (MFCreateMediaType_t)(void *)GetProcAddress(plat, "MFCreateMediaType");
            Mf.CreateReader = (MFCreateSourceReaderFromByteStream_t)(void *)GetProcAddress(
                readwrite, "MFCreateSourceReaderFromByteStream");
        }
    }
    return Mf.CreateByteStream && Mf.CreateMediaType && Mf.CreateReader;
}

// Media Foundation needs COM on every thread that calls it; the engine's
// threads keep their apartment for their whole life. The first caller is
// often the player's window thread, where the shell's dialogs (the window
// module's open dialog) want a single-threaded apartment: a thread that has
// none gets that one. Media Foundation's objects are free-threaded and work
// from either kind; a thread that already has one keeps it.
void EnsureCom() {
    static thread_local bool ready;
    if (!ready) {
        HRESULT result = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        ready = SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
    }
}

// The kind of file from its first bytes, as a name whose extension tells
// the system which reader to use; NULL for bytes of no kind handled here.
const WCHAR *KindName(const TQSOURCE *source) {
    BYTE head[12] = {};
    DWORD at = Id3v2SkipSize(source);
    if (source->Read(source->Context, at, head, sizeof head) != sizeof head)
        return NULL;
    static const BYTE AsfHeader[8] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11};
    if (memcmp(head, "fLaC", 4) == 0)
        return L"track.flac";
    if (at == 0 && memcmp(head + 4, "ftyp", 4) == 0)
        return L"track.m4a";
    if (at == 0 && memcmp(head, AsfHeader, sizeof AsfHeader) == 0)
        return L"track.wma";
    // ADTS: a 12-bit sync word, then MPEG layer 0, which MPEG audio never uses.
    if (head[0] == 0xFF && (head[1] & 0xF6) == 0xF0)
        return L"track.aac";
    return NULL;
}

struct MfState {
    IStream *Stream;
    IMFByteStream *ByteStream;
    IMFSourceReader *Reader;
    DWORD Channels;
    std::vector<float> Pending; // decoded samples not handed out yet
    size_t PendingAt;
    bool Ended;
    TrackNames Names;
};

void Release(IUnknown *object) {
    if (object)
        object->Release();
}

void CALLBACK CloseMf(void *context) {
    MfState *state = (MfState *)context;
    EnsureCom();
    Release(state->Reader);
    Release(state->ByteStream);
    Release(state->Stream);
    delete state;
}

bool OpenReader(const TQSOURCE *source, const WCHAR *name, MfState *state) {
    state->Stream = NewSourceStream(source);
    if (!state->Stream || FAILED(Mf.CreateByteStream(state->Stream, &state->ByteStream)))
        return false;
    IMFAttributes *attributes = NULL;
    if (SUCCEEDED(state->ByteStream->QueryInterface(IID_IMFAttributes, (void **)&attributes))) {
        attributes->SetString(MF_BYTESTREAM_ORIGIN_NAME, name);
        attributes->Release();
    }
    return SUCCEEDED(Mf.CreateReader(state->ByteStream, NULL, &state->Reader));
}

// Selects the first audio stream alone, decoded to floats.
bool ChooseFloatOutput(MfState *state) {
    IMFSourceReader *reader = state->Reader;
    IMFMediaType *wanted = NULL;
    if (FAILED(reader->SetStreamSelection((DWORD)MF_SOURCE_READER_ALL_STREAMS, FALSE)) ||
        FAILED(reader->SetStreamSelection(AUDIO_STREAM, TRUE)) ||
        FAILED(Mf.CreateMediaType(&wanted)))
        return false;
    bool chosen = SUCCEEDED(wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)) &&
                  SUCCEEDED(wanted->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_Float)) &&
                  SUCCEEDED(reader->SetCurrentMediaType(AUDIO_STREAM, NULL, wanted));
    wanted->Release();
    return chosen;
}

bool ReadFormat(MfState *state, DWORD *rate) {
    IMFMediaType *current = NULL;
    if (FAILED(state->Reader->GetCurrentMediaType(AUDIO_STREAM, &current)))
        return false;
    UINT32 channels = 0, samplesPerSecond = 0, bits = 0;
    current->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels);
    current->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &samplesPerSecond);
    current->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits);
    current->Release();
    state->Channels = channels;
    *rate = samplesPerSecond;
    return channels >= 1 && channels <= MAX_CHANNELS && samplesPerSecond > 0 &&
           samplesPerSecond <= MAX_RATE && bits == 32;
}

// Appends the next decoded sample's floats to Pending; false at the end.
bool ReadNextSample(MfState *state) {
    while (!state->Ended) {
        DWORD flags = 0;
        LONGLONG time = 0;
        IMFSample *sample = NULL;
        if (FAILED(state->Reader->ReadSample(AUDIO_STREAM, 0, NULL, &flags, &time, &sample)) ||
            (flags & (MF_SOURCE_READERF_ENDOFSTREAM | MF_SOURCE_READERF_ERROR)))
            state->Ended = true;
        if (!sample)
            continue;
        IMFMediaBuffer *buffer = NULL;
        BYTE *bytes = NULL;
        DWORD length = 0;
        if (SUCCEEDED(sample->ConvertToContiguousBuffer(&buffer)) &&
            SUCCEEDED(buffer->Lock(&bytes, NULL, &length))) {
            size_t count = length / sizeof(float);
            count -= count % state->Channels;
            size_t old = state->Pending.size();
            state->Pending.resize(old + count);
            memcpy(state->Pending.data() + old, bytes, count * sizeof(float));
            buffer->Unlock();
        }
        Release(buffer);
        sample->Release();
        if (state->Pending.size() > state->PendingAt)
            return true;
    }
    return false;
}

DWORD CALLBACK ReadMf(void *context, float *frames, DWORD count) {
    MfState *state = (MfState *)context;
    EnsureCom();
    DWORD channels = state->Channels;
    DWORD written = 0;
    while (written < count) {
        if (state->PendingAt == state->Pending.size()) {
            state->Pending.clear();
            state->PendingAt = 0;
            if (!ReadNextSample(state))
                break;
        }
        size_t available = (state->Pending.size() - state->PendingAt) / channels;
        DWORD take = available < count - written ? (DWORD)available : count - written;
        memcpy(frames + (size_t)written * channels, state->Pending.data() + state->PendingAt,
               (size_t)take * channels * sizeof(float));
        state->PendingAt += (size_t)take * channels;
        written += take;
    }
    return written;
}

} // namespace

BOOL CALLBACK OpenMfDecoder(const TQSOURCE *source, TQDECODER *decoder) {
    const WCHAR *name = KindName(source);
    if (!name || !LoadMediaFoundation())
        return FALSE;
    EnsureCom();
    MfState *state = new MfState();
    DWORD rate = 0;
    if (!OpenReader(source, name, state) || !ChooseFloatOutput(state) ||
        !ReadFormat(state, &rate)) {
        CloseMf(state);
        return FALSE;
    }
    ReadFlacNames(source, &state->Names);
    ReadMp4Names(source, &state->Names);
    ReadAsfNames(source, &state->Names);
    decoder->Rate = rate;
    decoder->Channels = state->Channels;
    decoder->State = state;
    decoder->Read = ReadMf;
    decoder->Close = CloseMf;
    PublishNames(state->Names, decoder);
    return TRUE;
}
