#include "extension/list/track_info_reader.h"

#include "tonquil_heap.h"
#include "extension/common/player_link.h"
#include "extension/window/window_ui.h"
#include "tonquil_id3.h"
#include "tonquil_audio_library.h"

#include <math.h>

// Rows scrolled past quickly leave requests nobody looks at any more; the
// oldest go when there are more than this.
#define MOST_QUEUED 512
#define LONGEST_MS 0x7FFFFFFF
// Stopping a stream frees it only when it was opened to free itself; without
// it every read would leave its stream and file open.
#define READ_FLAGS (BASS_UNICODE | BASS_STREAM_AUTOFREE | BASS_STREAM_DECODE)

struct READ_REQUEST {
    LONG TrackId;
    LONG Row;
    WCHAR *Path;
};

static CRITICAL_SECTION QueueLock;
static int LockMade;
static READ_REQUEST Queue[MOST_QUEUED];
static int Queued;
static HANDLE Wake;
static HANDLE Thread;
static int Stopping;
static int Refused;
static int StartPosted;
static HMODULE Audio;
static HWND Target;

#define LOOK_UP(module, name) ((name##_t)(void *)GetProcAddress(module, #name))

static LONG LengthOf(HMODULE audio, HSTREAM stream) {
    BASS_ChannelGetLength_t getLength = LOOK_UP(audio, BASS_ChannelGetLength);
    BASS_ChannelBytes2Seconds_t toSeconds = LOOK_UP(audio, BASS_ChannelBytes2Seconds);
    if (!getLength || !toSeconds)
        return 0;
    QWORD bytes = getLength(stream);
    if (bytes == (QWORD)-1)
        return 0;
    double seconds = toSeconds(stream, bytes);
    // A damaged file may claim anything; only a sane length is shown.
    if (!(seconds > 0) || seconds * 1000.0 >= (double)LONGEST_MS)
        return 0;
    return (LONG)floor(seconds * 1000.0 + 0.5);
}

static void WINAPI ReadWithAudioLibrary(HMODULE audio, const WCHAR *path,
                                        TRACK_INFO_RESULT *result) {
    BASS_StreamCreateFile_t open = LOOK_UP(audio, BASS_StreamCreateFile);
    BASS_ChannelGetTags_t getTags = LOOK_UP(audio, BASS_ChannelGetTags);
    BASS_ChannelStop_t stop = LOOK_UP(audio, BASS_ChannelStop);
    if (!open || !stop)
        return;
    HSTREAM stream = open(FALSE, path, 0, 0, READ_FLAGS);
    if (!stream)
        return;
    result->Opened = 1;
    result->LengthMs = LengthOf(audio, stream);
    if (getTags) {
        const BYTE *id3v1 = (const BYTE *)getTags(stream, BASS_TAG_ID3);
        const BYTE *id3v2 = (const BYTE *)getTags(stream, BASS_TAG_ID3V2);
        result->Title = ParseTrackTitle(id3v1, id3v2);
        result->Artist = ParseTrackArtist(id3v1, id3v2);
    }
    stop(stream);
}

TRACKINFOREADPROC TrackInfoReadCall = ReadWithAudioLibrary;

// The newest request, or 0 when there is none or the reader is to end.
static int TakeRequest(READ_REQUEST *request) {
    EnterCriticalSection(&QueueLock);
    int taken = !Stopping && Queued > 0;
    if (taken)
        *request = Queue[--Queued];
    LeaveCriticalSection(&QueueLock);
    return taken;
}

static void Answer(const READ_REQUEST *request) {
    TRACK_INFO_RESULT *result = (TRACK_INFO_RESULT *)HeapZeroAlloc(sizeof(TRACK_INFO_RESULT));
    if (result) {
        result->TrackId = request->TrackId;
        result->Row = request->Row;
        TrackInfoReadCall(Audio, request->Path, result);
        if (!PostMessageW(Target, WM_TRACK_INFO_READ, 0, (LPARAM)result))
            FreeTrackInfoResult(result);
    }
    HeapRelease(request->Path);
}

static DWORD WINAPI ReaderThread(void *) {
    for (;;) {
        WaitForSingleObject(Wake, INFINITE);
        READ_REQUEST request;
        while (TakeRequest(&request))
            Answer(&request);
        EnterCriticalSection(&QueueLock);
        int stopping = Stopping;
        LeaveCriticalSection(&QueueLock);
        if (stopping)
            return 0;
    }
}

static int MakeLock() {
    if (!LockMade)
        LockMade = InitializeCriticalSectionAndSpinCount(&QueueLock, 0) != 0;
    return LockMade;
}

static WCHAR *CopyText(const WCHAR *text) {
    SIZE_T bytes = ((SIZE_T)lstrlenW(text) + 1) * sizeof(WCHAR);
    WCHAR *copy = (WCHAR *)HeapZeroAlloc(bytes);
    if (copy)
        CopyMemory(copy, text, bytes);
    return copy;
}

LONG QueueTrackInfoRead(LONG trackId, LONG row, const WCHAR *path) {
    if (Refused || !MakeLock())
        return -2;
    WCHAR *copy = CopyText(path);
    if (!copy)
        return -2;
    LONG dropped = -1;
    EnterCriticalSection(&QueueLock);
    if (Queued == MOST_QUEUED) {
        dropped = Queue[0].TrackId;
        HeapRelease(Queue[0].Path);
        MoveMemory(Queue, Queue + 1, sizeof(READ_REQUEST) * (MOST_QUEUED - 1));
        --Queued;
    }
    Queue[Queued].TrackId = trackId;
    Queue[Queued].Row = row;
    Queue[Queued].Path = copy;
    ++Queued;
    LeaveCriticalSection(&QueueLock);
    if (Thread)
        SetEvent(Wake);
    else if (!StartPosted)
        StartPosted = PostMessageW(Ui.Window, WM_START_READER, 0, 0) != 0;
    return dropped;
}

int QueuedTrackInfoReads() {
    if (!LockMade)
        return 0;
    EnterCriticalSection(&QueueLock);
    int queued = Queued;
    LeaveCriticalSection(&QueueLock);
    return queued;
}

static void DropQueue() {
    if (!LockMade)
        return;
    EnterCriticalSection(&QueueLock);
    for (int i = 0; i < Queued; ++i)
        HeapRelease(Queue[i].Path);
    Queued = 0;
    LeaveCriticalSection(&QueueLock);
}

void StartTrackInfoReader() {
    StartPosted = 0;
    if (Thread || Refused || !MakeLock())
        return;
    Audio = (HMODULE)SendToPlayer(CM_INITAUDIO, 0, 0);
    Target = Ui.Window;
    Stopping = 0;
    Wake = Audio ? CreateEventW(NULL, FALSE, TRUE, NULL) : NULL;
    Thread = Wake ? CreateThread(NULL, 0, ReaderThread, NULL, 0, NULL) : NULL;
    if (Thread)
        return;
    // Without the audio library nothing can be read: rows keep their file
    // names and ask no more.
    Refused = 1;
    if (Wake)
        CloseHandle(Wake);
    Wake = NULL;
    DropQueue();
}

int TrackInfoReaderRunning() {
    return Thread != NULL;
}

// Results the thread posted that the window has not taken yet.
static void FreePostedResults() {
    MSG message;
    while (Target &&
           PeekMessageW(&message, Target, WM_TRACK_INFO_READ, WM_TRACK_INFO_READ, PM_REMOVE))
        FreeTrackInfoResult((TRACK_INFO_RESULT *)message.lParam);
}

void StopTrackInfoReader() {
    if (Thread) {
        EnterCriticalSection(&QueueLock);
        Stopping = 1;
        LeaveCriticalSection(&QueueLock);
        SetEvent(Wake);
        WaitForSingleObject(Thread, INFINITE);
        CloseHandle(Thread);
        CloseHandle(Wake);
        Thread = Wake = NULL;
    }
    FreePostedResults();
    DropQueue();
    if (LockMade)
        DeleteCriticalSection(&QueueLock);
    LockMade = 0;
    Refused = 0;
    StartPosted = 0;
    Audio = NULL;
    Target = NULL;
}

void FreeTrackInfoResult(TRACK_INFO_RESULT *result) {
    if (!result)
        return;
    HeapRelease(result->Title);
    HeapRelease(result->Artist);
    HeapRelease(result);
}
