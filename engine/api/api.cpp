// The calls of the audio library interface. Each takes the engine's
// lock for its whole run, but for opening a stream, which lets it go while
// the decoders read the file; the end syncs run on the engine's thread
// without it.
// None lets an exception out (see no_throw.h).
#include "engine/bass.h"

#include "engine/playing/engine_thread.h"
#include "media/no_throw.h"
#include "engine/streams/output_pool.h"
#include "engine/plugins/plugins.h"
#include "media/source.h"
#include "engine/streams/stream_position.h"
#include "engine/streams/streams.h"
#include "engine/streams/track_streams.h"

#include <math.h>
#include <string>
#include <vector>

namespace {

#define KEEP_FREQ -1
#define KEEP_VOLUME -1
#define KEEP_PAN -101
#define MIN_FREQ 100
#define NO_POSITION ((QWORD)-1)

// -1 is the default device and 0 "no sound"; 1 and up are waveOut devices.
bool ChooseDevice(int device, UINT *chosen) {
    UINT count = waveOutGetNumDevs();
    if (device == -1)
        *chosen = count ? WAVE_MAPPER : OUTPUT_SILENT;
    else if (device == 0)
        *chosen = OUTPUT_SILENT;
    else if (device > 0 && (UINT)device <= count)
        *chosen = (UINT)device - 1;
    else
        return false;
    return true;
}

std::wstring WidePath(const void *file, DWORD flags) {
    if (flags & BASS_UNICODE)
        return (const WCHAR *)file;
    const char *ansi = (const char *)file;
    int length = MultiByteToWideChar(CP_ACP, 0, ansi, -1, NULL, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

// The source and the decoder are opened without the lock; the plug-ins in
// openers are held meanwhile.
Stream *OpenUnlocked(BOOL mem, const void *file, DWORD offset, DWORD length,
                     const std::wstring &path, DWORD flags, const std::vector<Plugin> &openers) {
    if (!mem && IsTrackReference(path))
        return OpenTrackReference(path, flags, openers);
    TQSOURCE source;
    bool opened = mem ? OpenMemorySource((const BYTE *)file + offset, length, &source)
                      : OpenFileSource(path.c_str(), offset, length, &source);
    return opened ? OpenStream(&source, flags, openers) : NULL;
}

// Bytes of one frame as the stream plays it.
QWORD FrameBytes(const Stream *stream) {
    return (QWORD)stream->Channels * ((stream->Flags & BASS_SAMPLE_FLOAT) ? 4 : 2);
}

} // namespace

extern "C" {

BOOL WINAPI BASS_Init(int device, DWORD, DWORD, HWND, const GUID *) {
    return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard<std::mutex> hold(EngineLock);
        UINT chosen;
        if (Engine.Initialised || !ChooseDevice(device, &chosen) || !StartEngineThread())
            return FALSE;
        Engine.Device = chosen;
        Engine.Initialised = true;
        ++Engine.Session;
        return TRUE;
    });
}

BOOL WINAPI BASS_Free(void) {
    return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
        EngineThread *thread;
        {
            std::lock_guard<std::mutex> hold(EngineLock);
            if (!Engine.Initialised)
                return FALSE;
            thread = StopEngineThread();
            while (!Engine.Streams.empty())
                FreeStream(Engine.Streams.back());
            DropAllOutputs();
            Engine.Initialised = false;
        }
        JoinEngineThread(thread);
        return TRUE;
    });
}

HSTREAM WINAPI BASS_StreamCreateFile(BOOL mem, const void *file, DWORD offset, DWORD length,
                                     DWORD flags) {
    return NoThrow<HSTREAM>(0, [&]() -> HSTREAM {
        if (!file)
            return 0;
        std::wstring path = mem ? std::wstring() : WidePath(file, flags);
        std::vector<Plugin> openers;
        DWORD session;
        {
            std::lock_guard<std::mutex> hold(EngineLock);
            if (!Engine.Initialised)
                return 0;
            openers = HoldOpeners();
            session = Engine.Session;
        }
        Stream *stream = OpenUnlocked(mem, file, offset, length, path, flags, openers);
        std::lock_guard<std::mutex> hold(EngineLock);
        // An engine freed meanwhile, even one started again, never sees it.
        HSTREAM handle = 0;
        if (stream && Engine.Initialised && Engine.Session == session)
            handle = AddStream(stream);
        if (stream && !handle)
            DiscardStream(stream);
        ReleaseOpeners(openers, handle ? stream->Plugin : 0);
        return handle;
    });
}

BOOL WINAPI BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan) {
    return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        if (!stream ||
            (freq != KEEP_FREQ && freq != 0 && (freq < MIN_FREQ || freq > TQ_MAX_RATE)) ||
            (volume != KEEP_VOLUME && (volume < 0 || volume > 100)) ||
            (pan != KEEP_PAN && (pan < -100 || pan > 100)))
            return FALSE;
        // A new rate takes effect when the stream's output opens next.
        if (freq != KEEP_FREQ)
            stream->Freq = (DWORD)freq;
        if (volume != KEEP_VOLUME)
            stream->Volume = volume;
        if (pan != KEEP_PAN)
            stream->Pan = pan;
        return TRUE;
    });
}

HSYNC WINAPI BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD, SYNCPROC *proc, DWORD user) {
    return NoThrow<HSYNC>(0, [&]() -> HSYNC {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        if (!stream || !proc || (type & ~BASS_SYNC_ONETIME) != BASS_SYNC_END)
            return 0;
        Sync sync = {NewHandle(), type, proc, user};
        stream->Syncs.push_back(sync);
        return sync.Handle;
    });
}

BOOL WINAPI BASS_ChannelRemoveSync(DWORD handle, HSYNC sync) {
    return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        if (!stream)
            return FALSE;
        for (size_t i = 0; i < stream->Syncs.size(); ++i)
            if (stream->Syncs[i].Handle == sync) {
                stream->Syncs.erase(stream->Syncs.begin() + i);
                return TRUE;
            }
        return FALSE;
    });
}

BOOL WINAPI BASS_ChannelPlay(DWORD handle, BOOL restart) {
    return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        return stream && PlayStream(stream, restart != FALSE);
    });
}

DWORD WINAPI BASS_ChannelIsActive(DWORD handle) {
    return NoThrow<DWORD>(0, [&]() -> DWORD {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        return stream ? stream->State : BASS_ACTIVE_STOPPED;
    });
}

BOOL WINAPI BASS_ChannelPause(DWORD handle) {
    return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        return stream && PauseStream(stream);
    });
}

BOOL WINAPI BASS_ChannelStop(DWORD handle) {
    return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        if (!stream)
            return FALSE;
        StopStream(stream);
        return TRUE;
    });
}

const char *WINAPI BASS_ChannelGetTags(DWORD handle, DWORD tags) {
    return NoThrow<const char *>(NULL, [&]() -> const char * {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        if (!stream || tags > BASS_TAG_ID3V2 || !stream->HasTag[tags])
            return NULL;
        return stream->Tags[tags].data();
    });
}

HPLUGIN WINAPI BASS_PluginLoad(const char *file, DWORD flags) {
    return NoThrow<HPLUGIN>(0, [&]() -> HPLUGIN {
        if (!file)
            return 0;
        std::wstring path = WidePath(file, flags);
        std::lock_guard<std::mutex> hold(EngineLock);
        return LoadPlugin(path.c_str());
    });
}

BOOL WINAPI BASS_PluginFree(HPLUGIN handle) {
    return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard<std::mutex> hold(EngineLock);
        return FreePlugin(handle);
    });
}

QWORD WINAPI BASS_ChannelGetLength(DWORD handle) {
    return NoThrow<QWORD>(NO_POSITION, [&]() -> QWORD {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        return stream && stream->Length ? stream->Length * FrameBytes(stream) : NO_POSITION;
    });
}

QWORD WINAPI BASS_ChannelGetPosition(DWORD handle) {
    return NoThrow<QWORD>(NO_POSITION, [&]() -> QWORD {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        return stream ? HeardFrame(stream) * FrameBytes(stream) : NO_POSITION;
    });
}

BOOL WINAPI BASS_ChannelSetPosition(DWORD handle, QWORD pos) {
    return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        return stream && SetStreamPosition(stream, pos / FrameBytes(stream));
    });
}

float WINAPI BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    return NoThrow<float>(-1.0f, [&]() -> float {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        // A decoder that could not be reopened leaves the stream no rate.
        if (!stream || !stream->Decoder.Rate)
            return -1.0f;
        return (float)((double)(pos / FrameBytes(stream)) / stream->Decoder.Rate);
    });
}

QWORD WINAPI BASS_ChannelSeconds2Bytes(DWORD handle, float pos) {
    return NoThrow<QWORD>(NO_POSITION, [&]() -> QWORD {
        std::lock_guard<std::mutex> hold(EngineLock);
        Stream *stream = FindStream(handle);
        if (!stream || !stream->Decoder.Rate)
            return NO_POSITION;
        // Beyond this the bytes would not fit: no track is 2^53 frames long.
        const double maxFrames = 9007199254740992.0;
        double frames = (double)pos * stream->Decoder.Rate;
        if (!(frames >= 0.0) || frames >= maxFrames)
            return NO_POSITION;
        return (QWORD)llround(frames) * FrameBytes(stream);
    });
}

BOOL WINAPI BASS_SetConfig(DWORD option, DWORD value) {
    return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
        if (option != BASS_CONFIG_TQ_REPLAYGAIN || value > BASS_TQ_REPLAYGAIN_ALBUM)
            return FALSE;
        std::lock_guard<std::mutex> hold(EngineLock);
        Engine.ReplayGain = value;
        return TRUE;
    });
}

} // extern "C"
