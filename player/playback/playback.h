// Playback control: the track at TrackNo as a playing stream.
#ifndef TONQUIL_PLAYER_PLAYBACK_PLAYBACK_H
#define TONQUIL_PLAYER_PLAYBACK_PLAYBACK_H

#include <windows.h>
#include "tonquil_audio_library.h"

// Told on the main window's thread of each track that starts, once its
// balloon and tip are up; a layer above registers it. NULL tells no one.
typedef void (*TRACKSTARTED)(HWND window, LONG trackNo);
extern TRACKSTARTED TrackStartedListener;

int PlayTrack(HWND window);
int PlayNext(HWND window);
int PlayPrevious(HWND window);
int PausePlayback();
int StopPlayback(HWND window);
int SetVolume(DWORD value);
int SetMute(LONG value);
// Stores the mode (0 off, 1 track, 2 album) and hands it to the engine at
// once when the library is loaded. 1 set, 0 refused.
int SetReplayGain(LONG mode);

// The audio library's end sync, on its own thread: hands the end over to the
// main window's thread.
void CALLBACK OnTrackEnd(HSYNC sync, DWORD channel, DWORD data, DWORD user);
// The end of a stream, on the main window's thread (WM_TRACKEND).
LRESULT OnTrackEndMessage(HWND window, WPARAM stream, LPARAM sync);

#endif
