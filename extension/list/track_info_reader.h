// Title, artist and length of playlist files, read on a thread of the
// module's own so that the window never waits on a file. The reader opens
// each file through the audio library the player loaded (CM_INITAUDIO), as a
// stream it never plays, reads its length and ID3 tags and frees it again.
//
// Requests carry a copy of the path: the player's entries belong to the
// window's thread. The newest request is read first, so the rows drawn last
// (those in view) come before older ones. Results come back to the window
// as WM_TRACK_INFO_READ.
//
// File kinds that need a plug-in open only while the player has its plug-ins
// loaded (after it has played such a file); until then they read as
// unreadable and the window shows their file names.
#ifndef TONQUIL_EXTENSION_TRACK_INFO_READER_H
#define TONQUIL_EXTENSION_TRACK_INFO_READER_H

#include <windows.h>

struct TRACK_INFO_RESULT {
    LONG TrackId;
    LONG Row; // the entry's index when it was asked for
    int Opened;
    LONG LengthMs; // 0: not known
    WCHAR *Title;  // from the process heap, or NULL
    WCHAR *Artist;
};

// What the thread does with one file; the module exports the pointer by
// name, so that tests can hold a read back.
typedef void(WINAPI *TRACKINFOREADPROC)(HMODULE audio, const WCHAR *path,
                                        TRACK_INFO_RESULT *result);
extern "C" TRACKINFOREADPROC TrackInfoReadCall;

// Queues a read; gives the TrackId of an older request dropped to make room,
// or -1. Gives -2 (and queues nothing) when the reader cannot run: no audio
// library, or no memory.
LONG QueueTrackInfoRead(LONG trackId, LONG row, const WCHAR *path);
int QueuedTrackInfoReads();
// Loads the audio library through the player and starts the thread; posted
// by the first request, so that showing the window never waits for it.
void StartTrackInfoReader();
int TrackInfoReaderRunning();
// Ends the thread and waits for it (it finishes the file in hand), and frees
// every request and every result not yet handled.
void StopTrackInfoReader();
void FreeTrackInfoResult(TRACK_INFO_RESULT *result);

#endif
