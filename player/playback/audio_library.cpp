#include "player/playback/audio_library.h"

#include "tonquil_heap.h"
#include "player/core/paths.h"
#include "player/core/player_state.h"

HMODULE AudioLibrary;
int AudioInitialised;
PLUGINNODE *PluginList;

int CreatePluginHead() {
    if (!PluginList)
        PluginList = (PLUGINNODE *)HeapZeroAlloc(sizeof(PLUGINNODE));
    return PluginList != NULL;
}

void FreePluginHead() {
    FreePlugins();
    HeapRelease(PluginList);
    PluginList = NULL;
}

// Looked up at every call and never remembered: a library without an export
// makes that one call a no-op.
FARPROC FindAudioFunction(const char *name) {
    return AudioLibrary ? GetProcAddress(AudioLibrary, name) : NULL;
}

#define AUDIO_CALL(name, fallback, ...)                                                            \
    do {                                                                                           \
        name##_t function = (name##_t)(void *)FindAudioFunction(#name);                            \
        return function ? function(__VA_ARGS__) : fallback;                                        \
    } while (0)

static BOOL CallInit(HWND window) {
    AUDIO_CALL(BASS_Init, FALSE, -1, 44100, 0, window, NULL);
}

// A library freshly loaded has the gain off, so the mode off is not handed
// over: with ReplayGain 0 the library sees the calls it always saw. The
// mode goes at every init, whoever initialised the library first.
BOOL AudioInit(HWND window) {
    BOOL initialised = CallInit(window);
    if (initialised)
        AudioInitialised = 1;
    if (PlayerState && PlayerState->ReplayGain != GAIN_OFF)
        AudioApplyReplayGain();
    return initialised;
}

// The original library knows no such option and refuses it; that is all.
BOOL AudioApplyReplayGain() {
    AUDIO_CALL(BASS_SetConfig, FALSE, BASS_CONFIG_TQ_REPLAYGAIN, (DWORD)PlayerState->ReplayGain);
}

BOOL AudioFree() {
    AUDIO_CALL(BASS_Free, FALSE);
}

HSTREAM AudioStreamCreateFile(const WCHAR *path, DWORD flags) {
    AUDIO_CALL(BASS_StreamCreateFile, 0, FALSE, path, 0, 0, flags);
}

BOOL AudioSetVolume(DWORD stream, int volume) {
    AUDIO_CALL(BASS_ChannelSetAttributes, FALSE, stream, 0, volume, 0);
}

HSYNC AudioSetEndSync(DWORD stream, SYNCPROC *proc, DWORD user) {
    AUDIO_CALL(BASS_ChannelSetSync, 0, stream, BASS_SYNC_ONETIME | BASS_SYNC_END, 0, proc, user);
}

BOOL AudioRemoveSync(DWORD stream, HSYNC sync) {
    AUDIO_CALL(BASS_ChannelRemoveSync, FALSE, stream, sync);
}

BOOL AudioPlay(DWORD stream) {
    AUDIO_CALL(BASS_ChannelPlay, FALSE, stream, FALSE);
}

DWORD AudioIsActive(DWORD stream) {
    AUDIO_CALL(BASS_ChannelIsActive, 0, stream);
}

BOOL AudioPause(DWORD stream) {
    AUDIO_CALL(BASS_ChannelPause, FALSE, stream);
}

BOOL AudioStop(DWORD stream) {
    AUDIO_CALL(BASS_ChannelStop, FALSE, stream);
}

const char *AudioGetTags(DWORD stream, DWORD type) {
    AUDIO_CALL(BASS_ChannelGetTags, NULL, stream, type);
}

HPLUGIN AudioPluginLoad(const WCHAR *path) {
    AUDIO_CALL(BASS_PluginLoad, 0, (const char *)path, BASS_UNICODE);
}

BOOL AudioPluginFree(HPLUGIN plugin) {
    AUDIO_CALL(BASS_PluginFree, FALSE, plugin);
}

QWORD AudioGetLength(DWORD stream) {
    AUDIO_CALL(BASS_ChannelGetLength, NO_POSITION, stream);
}

QWORD AudioGetPosition(DWORD stream) {
    AUDIO_CALL(BASS_ChannelGetPosition, NO_POSITION, stream);
}

BOOL AudioSetPosition(DWORD stream, QWORD bytes) {
    AUDIO_CALL(BASS_ChannelSetPosition, FALSE, stream, bytes);
}

float AudioBytesToSeconds(DWORD stream, QWORD bytes) {
    AUDIO_CALL(BASS_ChannelBytes2Seconds, 0.0f, stream, bytes);
}

QWORD AudioSecondsToBytes(DWORD stream, float seconds) {
    AUDIO_CALL(BASS_ChannelSeconds2Bytes, NO_POSITION, stream, seconds);
}

// The loader may put up a message box of its own for a damaged or foreign
// bass.dll; the player reports nothing, so such a file is refused quietly.
HMODULE LoadAudioLibrary() {
    if (!AudioLibrary) {
        WCHAR path[MAX_PATH];
        if (BuildModulePath(L"bass.dll", path))
            AudioLibrary = LoadLibraryW(path);
    }
    return AudioLibrary;
}

HMODULE InitAudioLibrary(HWND window) {
    LoadAudioLibrary();
    AudioInit(window);
    return AudioLibrary;
}

static void AppendPlugin(PLUGINNODE **last, HPLUGIN plugin) {
    PLUGINNODE *node = (PLUGINNODE *)HeapZeroAlloc(sizeof(PLUGINNODE));
    if (!node) {
        AudioPluginFree(plugin);
        return;
    }
    node->Plugin = plugin;
    (*last)->Next = node;
    *last = node;
}

void LoadPlugins() {
    if (!PluginList || PluginList->Next)
        return;
    WCHAR folder[MAX_PATH], pattern[MAX_PATH];
    if (!BuildModulePath(L"", folder) || !BuildModulePath(L"*.dll", pattern))
        return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    PLUGINNODE *last = PluginList;
    do {
        WCHAR path[MAX_PATH];
        if (lstrlenW(folder) + lstrlenW(found.cFileName) >= MAX_PATH)
            continue;
        lstrcpyW(path, folder);
        lstrcatW(path, found.cFileName);
        HPLUGIN plugin = AudioPluginLoad(path);
        if (plugin)
            AppendPlugin(&last, plugin);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void FreePlugins() {
    if (!PluginList)
        return;
    PLUGINNODE *node = PluginList->Next;
    while (node) {
        PLUGINNODE *next = node->Next;
        AudioPluginFree(node->Plugin);
        HeapRelease(node);
        node = next;
    }
    PluginList->Next = NULL;
}

void UnloadAudioLibrary() {
    if (!AudioLibrary)
        return;
    AudioFree();
    FreeLibrary(AudioLibrary);
    AudioLibrary = NULL;
    AudioInitialised = 0;
}
