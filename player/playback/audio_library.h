// The binding to bass.dll, loaded at run time from the player's folder, and
// to its plug-ins. Every call looks its function up at the moment of the call
// and is skipped, with result 0, when the library or the export is missing.
#ifndef TONQUIL_PLAYER_PLAYBACK_AUDIO_LIBRARY_H
#define TONQUIL_PLAYER_PLAYBACK_AUDIO_LIBRARY_H

#include <windows.h>
#include "tonquil_audio_library.h"

struct PLUGINNODE {
    HPLUGIN Plugin;
    PLUGINNODE *Next;
};

extern HMODULE AudioLibrary;
// Set once the loaded library is known to be initialised: a BASS_Init of
// ours succeeded, or a stream opened (someone else initialised it).
extern int AudioInitialised;
extern PLUGINNODE *PluginList; // sentinel; NULL before the window exists

int CreatePluginHead();
void FreePluginHead();

HMODULE LoadAudioLibrary();
HMODULE InitAudioLibrary(HWND window);
void LoadPlugins();
void FreePlugins();
void UnloadAudioLibrary();
// The export of the loaded library, or NULL.
FARPROC FindAudioFunction(const char *name);

// BASS_Init for the window; hands the engine the ReplayGain mode as well.
BOOL AudioInit(HWND window);
BOOL AudioFree();
HSTREAM AudioStreamCreateFile(const WCHAR *path, DWORD flags);
BOOL AudioSetVolume(DWORD stream, int volume);
HSYNC AudioSetEndSync(DWORD stream, SYNCPROC *proc, DWORD user);
BOOL AudioRemoveSync(DWORD stream, HSYNC sync);
BOOL AudioPlay(DWORD stream);
DWORD AudioIsActive(DWORD stream);
BOOL AudioPause(DWORD stream);
BOOL AudioStop(DWORD stream);
const char *AudioGetTags(DWORD stream, DWORD type);
HPLUGIN AudioPluginLoad(const WCHAR *path);
BOOL AudioPluginFree(HPLUGIN plugin);
// Positions in bytes of the decoded output; NO_POSITION when the library
// cannot tell (or the call is missing).
#define NO_POSITION ((QWORD)-1)
QWORD AudioGetLength(DWORD stream);
QWORD AudioGetPosition(DWORD stream);
BOOL AudioSetPosition(DWORD stream, QWORD bytes);
// 0 when the call is missing.
float AudioBytesToSeconds(DWORD stream, QWORD bytes);
QWORD AudioSecondsToBytes(DWORD stream, float seconds);
// Hands the ReplayGain mode of PlayerState to the engine.
BOOL AudioApplyReplayGain();

#endif
