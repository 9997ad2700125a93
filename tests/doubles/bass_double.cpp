// A recording stand-in for bass.dll. It plays nothing: it keeps the state a
// caller can observe (streams, pause, syncs, plug-ins) and writes every call
// to bass-calls.log beside itself when that file exists.
//
// What it opens is decided by the files it is given:
//   - a missing file, or one whose content starts with "REFUSE", fails;
//   - one that starts with "PLUGIN" opens only while a plug-in is loaded;
//   - one that starts with "BRIEF" ends at once when played: opened with
//     auto-free, it is freed inside BASS_ChannelPlay, as a track shorter than
//     the time it takes to start would be;
//   - <path>.id3v1 and <path>.id3v2, when present, are its tag blocks;
//   - "LENGTH=<bytes>" anywhere in it gives the stream that length (of
//     44.1 kHz output, stereo unless opened mono, 16-bit unless float); a
//     stream without it cannot tell its length, unless <path>.length holds
//     one in milliseconds. It does not move by itself:
//     DoubleSetPosition(stream, bytes) moves it as playing would.
// BASS_SetConfig takes the ReplayGain option alone.
// BASS_PluginLoad accepts files whose name starts with "bassplug".
// With a file bass-no-device beside it, BASS_Init fails as it does on a
// system without an output device, and so does every open.
// DoubleFireEnd(stream) runs the stream's end sync on a thread of its own.
#include "tonquil_audio_library.h"
#include "double_log.h"

#include <mutex>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

struct Stream {
    DWORD handle;
    DWORD state;
    std::string tags[2];
    bool hasTags[2];
    bool brief;
    DWORD flags;
    HSYNC sync;
    SYNCPROC *proc;
    DWORD user;
    QWORD length; // NoLength when the stream cannot tell
    QWORD position;
};

const QWORD NoLength = (QWORD)-1;

std::mutex Lock;
std::vector<Stream> Streams;
DWORD NextHandle = 1;
DWORD NextSync = 100;
DWORD LoadedPlugins = 0;
bool Initialised = false;
WCHAR Folder[MAX_PATH];

#define LOG(...) DoubleLog(Folder, L"bass-calls.log", __VA_ARGS__)

std::string Utf8(const WCHAR *text) {
    if (!text)
        return "(null)";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    std::string out(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], bytes, NULL, NULL);
    return out;
}

bool ReadWholeFile(const std::wstring &path, std::string &content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, NULL);
    content.assign(size == INVALID_FILE_SIZE ? 0 : size, '\0');
    DWORD got = 0;
    if (!content.empty())
        ReadFile(file, &content[0], (DWORD)content.size(), &got, NULL);
    content.resize(got);
    CloseHandle(file);
    return true;
}

Stream *FindStream(DWORD handle) {
    for (Stream &stream : Streams)
        if (stream.handle == handle)
            return &stream;
    return NULL;
}

void FreeStream(DWORD handle) {
    for (size_t i = 0; i < Streams.size(); ++i)
        if (Streams[i].handle == handle) {
            Streams.erase(Streams.begin() + i);
            return;
        }
}

DWORD BytesPerSecond(const Stream &stream) {
    DWORD channels = (stream.flags & BASS_SAMPLE_MONO) ? 1 : 2;
    DWORD bytes = (stream.flags & BASS_SAMPLE_FLOAT) ? 4 : 2;
    return 44100 * channels * bytes;
}

DWORD BlockAlign(const Stream &stream) {
    return BytesPerSecond(stream) / 44100;
}

// From "LENGTH=<bytes>" in the content, else <path>.length in milliseconds.
QWORD StatedLength(const WCHAR *path, const std::string &content, const Stream &stream) {
    size_t at = content.find("LENGTH=");
    if (at != std::string::npos)
        return _strtoui64(content.c_str() + at + 7, NULL, 10);
    std::string ms;
    if (!ReadWholeFile(std::wstring(path) + L".length", ms))
        return NoLength;
    QWORD bytes = _strtoui64(ms.c_str(), NULL, 10) * BytesPerSecond(stream) / 1000;
    return bytes - bytes % BlockAlign(stream);
}

DWORD OpenStream(const WCHAR *path, DWORD flags) {
    std::string content;
    if (!ReadWholeFile(path, content))
        return 0;
    if (content.compare(0, 6, "REFUSE") == 0)
        return 0;
    if (content.compare(0, 6, "PLUGIN") == 0 && LoadedPlugins == 0)
        return 0;
    Stream stream = {};
    stream.handle = NextHandle++;
    stream.state = BASS_ACTIVE_STOPPED;
    stream.brief = content.compare(0, 5, "BRIEF") == 0;
    stream.flags = flags;
    stream.length = StatedLength(path, content, stream);
    const WCHAR *suffix[2] = {L".id3v1", L".id3v2"};
    for (int i = 0; i < 2; ++i)
        stream.hasTags[i] = ReadWholeFile(std::wstring(path) + suffix[i], stream.tags[i]);
    Streams.push_back(stream);
    return stream.handle;
}

struct Firing {
    SYNCPROC *proc;
    HSYNC sync;
    DWORD channel;
    DWORD user;
};

DWORD WINAPI FireThread(void *parameter) {
    Firing *firing = (Firing *)parameter;
    firing->proc(firing->sync, firing->channel, 0, firing->user);
    return 0;
}

} // namespace

extern "C" {

BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND win, const GUID *dsguid) {
    std::lock_guard<std::mutex> hold(Lock);
    WCHAR marker[MAX_PATH];
    lstrcpynW(marker, Folder, MAX_PATH - 16);
    lstrcatW(marker, L"bass-no-device");
    bool noDevice = GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES;
    BOOL result = !Initialised && !noDevice;
    Initialised = Initialised || !noDevice;
    LOG("BASS_Init(%d,%lu,%lu,%lu,%s)=%d", device, freq, flags, (DWORD)(UINT_PTR)win,
        dsguid ? "guid" : "0", result);
    return result;
}

BOOL WINAPI BASS_Free(void) {
    std::lock_guard<std::mutex> hold(Lock);
    LOG("BASS_Free()");
    Streams.clear();
    Initialised = false;
    return TRUE;
}

HSTREAM WINAPI BASS_StreamCreateFile(BOOL mem, const void *file, DWORD offset, DWORD length,
                                     DWORD flags) {
    std::lock_guard<std::mutex> hold(Lock);
    const WCHAR *path = (const WCHAR *)file;
    HSTREAM handle = (!mem && path && Initialised) ? OpenStream(path, flags) : 0;
    LOG("BASS_StreamCreateFile(%d,%s,%lu,%lu,0x%lX)=%lu", mem, Utf8(path).c_str(), offset, length,
        flags, handle);
    return handle;
}

BOOL WINAPI BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan) {
    std::lock_guard<std::mutex> hold(Lock);
    BOOL result = FindStream(handle) != NULL;
    LOG("BASS_ChannelSetAttributes(%lu,%d,%d,%d)=%d", handle, freq, volume, pan, result);
    return result;
}

HSYNC WINAPI BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC *proc,
                                 DWORD user) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    HSYNC sync = 0;
    if (stream && proc) {
        sync = NextSync++;
        stream->sync = sync;
        stream->proc = proc;
        stream->user = user;
    }
    LOG("BASS_ChannelSetSync(%lu,0x%lX,%llu,%s,%lu)=%lu", handle, type, param, proc ? "proc" : "0",
        user, sync);
    return sync;
}

BOOL WINAPI BASS_ChannelRemoveSync(DWORD handle, HSYNC sync) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    BOOL result = stream && stream->sync == sync && sync != 0;
    if (result)
        stream->sync = 0;
    LOG("BASS_ChannelRemoveSync(%lu,%lu)=%d", handle, sync, result);
    return result;
}

BOOL WINAPI BASS_ChannelPlay(DWORD handle, BOOL restart) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    bool found = stream != NULL;
    if (stream)
        stream->state = BASS_ACTIVE_PLAYING;
    if (stream && stream->brief && (stream->flags & BASS_STREAM_AUTOFREE))
        FreeStream(handle);
    LOG("BASS_ChannelPlay(%lu,%d)=%d", handle, restart, found);
    return found;
}

DWORD WINAPI BASS_ChannelIsActive(DWORD handle) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    DWORD state = stream ? stream->state : BASS_ACTIVE_STOPPED;
    LOG("BASS_ChannelIsActive(%lu)=%lu", handle, state);
    return state;
}

BOOL WINAPI BASS_ChannelPause(DWORD handle) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    BOOL result = stream && stream->state == BASS_ACTIVE_PLAYING;
    if (result)
        stream->state = BASS_ACTIVE_PAUSED;
    LOG("BASS_ChannelPause(%lu)=%d", handle, result);
    return result;
}

BOOL WINAPI BASS_ChannelStop(DWORD handle) {
    std::lock_guard<std::mutex> hold(Lock);
    BOOL result = FindStream(handle) != NULL;
    FreeStream(handle);
    LOG("BASS_ChannelStop(%lu)=%d", handle, result);
    return result;
}

const char *WINAPI BASS_ChannelGetTags(DWORD handle, DWORD tags) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    const char *block = NULL;
    if (stream && tags < 2 && stream->hasTags[tags])
        block = stream->tags[tags].data();
    LOG("BASS_ChannelGetTags(%lu,%lu)=%s", handle, tags, block ? "block" : "0");
    return block;
}

HPLUGIN WINAPI BASS_PluginLoad(const char *file, DWORD flags) {
    std::lock_guard<std::mutex> hold(Lock);
    std::string name = (flags & BASS_UNICODE) ? Utf8((const WCHAR *)file) : (file ? file : "");
    size_t slash = name.find_last_of('\\');
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    HPLUGIN plugin = 0;
    if (_strnicmp(base.c_str(), "bassplug", 8) == 0)
        plugin = 0x1000 + ++LoadedPlugins;
    LOG("BASS_PluginLoad(%s,0x%lX)=%lu", name.c_str(), flags, plugin);
    return plugin;
}

BOOL WINAPI BASS_PluginFree(HPLUGIN handle) {
    std::lock_guard<std::mutex> hold(Lock);
    BOOL result = handle > 0x1000 && LoadedPlugins > 0;
    if (result)
        --LoadedPlugins;
    LOG("BASS_PluginFree(%lu)=%d", handle, result);
    return result;
}

QWORD WINAPI BASS_ChannelGetLength(DWORD handle) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    QWORD length = stream ? stream->length : NoLength;
    LOG("BASS_ChannelGetLength(%lu)=%lld", handle, (long long)length);
    return length;
}

QWORD WINAPI BASS_ChannelGetPosition(DWORD handle) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    QWORD position = stream ? stream->position : NoLength;
    LOG("BASS_ChannelGetPosition(%lu)=%lld", handle, (long long)position);
    return position;
}

BOOL WINAPI BASS_ChannelSetPosition(DWORD handle, QWORD pos) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    BOOL result = stream && stream->length != NoLength && pos <= stream->length &&
                  pos % BlockAlign(*stream) == 0;
    if (result)
        stream->position = pos;
    LOG("BASS_ChannelSetPosition(%lu,%llu)=%d", handle, pos, result);
    return result;
}

float WINAPI BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    float seconds = stream ? (float)((double)pos / BytesPerSecond(*stream)) : -1.0f;
    LOG("BASS_ChannelBytes2Seconds(%lu,%llu)=%.6f", handle, pos, seconds);
    return seconds;
}

QWORD WINAPI BASS_ChannelSeconds2Bytes(DWORD handle, float pos) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    QWORD bytes = NoLength;
    if (stream && pos >= 0) {
        bytes = (QWORD)((double)pos * BytesPerSecond(*stream) + 0.5);
        bytes -= bytes % BlockAlign(*stream);
    }
    LOG("BASS_ChannelSeconds2Bytes(%lu,%.6f)=%lld", handle, pos, (long long)bytes);
    return bytes;
}

BOOL WINAPI BASS_SetConfig(DWORD option, DWORD value) {
    std::lock_guard<std::mutex> hold(Lock);
    BOOL result = option == BASS_CONFIG_TQ_REPLAYGAIN && value <= BASS_TQ_REPLAYGAIN_ALBUM;
    LOG("BASS_SetConfig(0x%lX,%lu)=%d", option, value, result);
    return result;
}

// Test control: moves the stream as playing would. Gives 1 when it exists.
int WINAPI DoubleSetPosition(DWORD handle, QWORD bytes) {
    std::lock_guard<std::mutex> hold(Lock);
    Stream *stream = FindStream(handle);
    if (stream)
        stream->position = bytes;
    return stream != NULL;
}

// Test control: runs the stream's end sync on a new thread and waits for it.
// Gives 1 when the stream had a sync.
int WINAPI DoubleFireEnd(DWORD handle) {
    Firing firing = {};
    {
        std::lock_guard<std::mutex> hold(Lock);
        Stream *stream = FindStream(handle);
        if (!stream || !stream->sync)
            return 0;
        firing.proc = stream->proc;
        firing.sync = stream->sync;
        firing.channel = handle;
        firing.user = stream->user;
        stream->sync = 0; // one-time sync
    }
    HANDLE thread = CreateThread(NULL, 0, FireThread, &firing, 0, NULL);
    if (!thread)
        return 0;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return 1;
}

} // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *) {
    if (reason == DLL_PROCESS_ATTACH) {
        DoubleFolder((const void *)instance, Folder, MAX_PATH);
        LOG("load");
    } else if (reason == DLL_PROCESS_DETACH) {
        LOG("unload");
    }
    return TRUE;
}
