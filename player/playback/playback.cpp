#include "player/playback/playback.h"

#include "tonquil_heap.h"
#include "player/core/paths.h"
#include "player/core/player_state.h"
#include "player/core/window_contract.h"
#include "player/playback/audio_library.h"
#include "player/playback/resume.h"
#include "player/playlist/playlist.h"
#include "player/playlist/random_source.h"
#include "player/playlist/shuffle.h"
#include "player/settings/settings.h"
#include "tonquil_id3.h"
#include "tonquil_extension.h"
#include "player/tray/tray_icon.h"

#define DISPLAY_NAME_SIZE 520
#define STOPPED_TIP L"Tonquil"
#define TIP_SUFFIX L" - Tonquil"

TRACKSTARTED TrackStartedListener;

static HSTREAM OpenStream(const WCHAR *path) {
    DWORD flags = (DWORD)PlayerState->SampleBit | BASS_UNICODE | BASS_STREAM_AUTOFREE;
    if (PlayerState->FreeAddOn && IsBuiltInType(path))
        FreePlugins();
    HSTREAM stream = AudioStreamCreateFile(path, flags);
    if (!stream) {
        LoadPlugins();
        stream = AudioStreamCreateFile(path, flags);
    }
    return stream;
}

static void ApplyVolume(HSTREAM stream) {
    if (PlayerState->Mute)
        AudioSetVolume(stream, 0);
    else if (PlayerState->Volume != 100)
        AudioSetVolume(stream, PlayerState->Volume);
}

// Artist and title for the balloon, read before the track plays: once it
// plays, a short track can end and be freed together with its tag blocks.
struct TRACKTAGS {
    WCHAR *Artist;
    WCHAR *Title;
};

static void ReadTags(TRACKTAGS *tags, DWORD stream) {
    tags->Artist = NULL;
    tags->Title = NULL;
    if (PlayerState->ShowInfo == SHOW_ARTIST_TITLE) {
        const BYTE *id3v1 = (const BYTE *)AudioGetTags(stream, BASS_TAG_ID3);
        const BYTE *id3v2 = (const BYTE *)AudioGetTags(stream, BASS_TAG_ID3V2);
        tags->Artist = ParseTrackArtist(id3v1, id3v2);
        tags->Title = ParseTrackTitle(id3v1, id3v2);
    }
}

static void AnnounceTrack(HWND window, const WCHAR *path, TRACKTAGS *tags) {
    WCHAR base[DISPLAY_NAME_SIZE];
    GetEntryName(path, base, DISPLAY_NAME_SIZE);
    if (PlayerState->ShowInfo == SHOW_FILE_NAME)
        ShowTrayBalloon(window, NULL, base);
    else if (PlayerState->ShowInfo == SHOW_ARTIST_TITLE)
        ShowTrayBalloon(window, tags->Artist, (tags->Title && tags->Title[0]) ? tags->Title : base);
    HeapRelease(tags->Artist);
    HeapRelease(tags->Title);
    WCHAR tip[DISPLAY_NAME_SIZE];
    lstrcpynW(tip, base, DISPLAY_NAME_SIZE - (int)(sizeof TIP_SUFFIX / sizeof(WCHAR)));
    lstrcatW(tip, TIP_SUFFIX);
    SetTrayTip(window, tip);
    if (TrackStartedListener)
        TrackStartedListener(window, PlayerState->TrackNo);
}

// The entry at TrackNo, after TrackNo has been drawn anew when it lies
// outside the Playlist; NULL when the Playlist is empty.
static TRACKENTRY *CurrentEntry() {
    EnsurePlaylistLoaded();
    LONG count = CountTracks();
    if (PlayerState->TrackNo < 0 || PlayerState->TrackNo >= count)
        PlayerState->TrackNo = DrawIndex(count);
    return GetTrack(PlayerState->TrackNo);
}

// The end sync of the current stream as the library gave it; an end message
// counts only for this pair.
static HSYNC EndSync;

#define PLAY_DONE 0
#define PLAY_NEXT_ENTRY 1

// Opens the entry's file (or resumes the paused stream), plays and announces
// it. An entry whose file cannot be opened loses its place: PLAY_NEXT_ENTRY.
// While the library is missing, lacks the open call or has never been seen
// initialised (no output device, say), a failed open may be the library's
// fault, not the entry's: then nothing is removed, and the next play tries
// the library again. Another user of the library (the extension module) may
// have initialised it first, which makes our own BASS_Init fail: a stream
// that opens shows it is usable.
static int StartTrack(HWND window, const WCHAR *path) {
    if (!AudioInitialised) {
        LoadAudioLibrary();
        AudioInit(window);
    }
    if (AudioIsActive((DWORD)PlayerState->Channel) != BASS_ACTIVE_PAUSED) {
        if (!FindAudioFunction("BASS_StreamCreateFile"))
            return PLAY_DONE;
        StopPlayback(window);
        PlayerState->Channel = (LONG)OpenStream(path);
        if (!PlayerState->Channel && !AudioInitialised)
            return PLAY_DONE;
        // A failed open counts as the first play too: the entry that slides
        // into its index is another track.
        StartWhereResumed((DWORD)PlayerState->Channel);
        if (!PlayerState->Channel) {
            RemoveTrack(PlayerState->TrackNo);
            return PLAY_NEXT_ENTRY;
        }
        AudioInitialised = 1;
        ApplyVolume((DWORD)PlayerState->Channel);
        EndSync = AudioSetEndSync((DWORD)PlayerState->Channel, OnTrackEnd, (DWORD)(UINT_PTR)window);
    }
    TRACKTAGS tags;
    ReadTags(&tags, (DWORD)PlayerState->Channel);
    AudioPlay((DWORD)PlayerState->Channel);
    AnnounceTrack(window, path, &tags);
    return PLAY_DONE;
}

// The entry that slides into the index of a removed one is tried next. The
// shell calls (the tips) can dispatch a message that removes the entry and
// frees its path, so the path is worked from a copy.
int PlayTrack(HWND window) {
    for (;;) {
        TRACKENTRY *entry = CurrentEntry();
        if (!entry)
            return 0;
        MarkPlayed(entry->TrackId);
        WCHAR *path = HeapCopyText(entry->Path);
        if (!path)
            return 0;
        int result = StartTrack(window, path);
        HeapRelease(path);
        if (result == PLAY_DONE)
            return 0;
    }
}

int PlayNext(HWND window) {
    LONG count = CountTracks();
    if (PlayerState->PlayMode == PLAY_SHUFFLE) {
        PlayerState->TrackNo = NextShuffled();
        if (PlayerState->TrackNo == -1)
            PlayerState->TrackNo = DrawIndex(CountTracks());
    } else {
        LONG next = (LONG)((DWORD)PlayerState->TrackNo + 1u); // wraps instead of overflowing
        PlayerState->TrackNo = next < count ? next : 0;
    }
    return PlayTrack(window);
}

int PlayPrevious(HWND window) {
    if (PlayerState->PlayMode == PLAY_SHUFFLE) {
        LONG previous = PrevShuffled();
        if (previous == -1)
            return PlayNext(window);
        PlayerState->TrackNo = previous;
    } else {
        LONG previous = (LONG)((DWORD)PlayerState->TrackNo - 1u);
        PlayerState->TrackNo = previous < 0 ? 0 : previous;
    }
    return PlayTrack(window);
}

int PausePlayback() {
    AudioPause((DWORD)PlayerState->Channel);
    return 0;
}

int StopPlayback(HWND window) {
    AudioStop((DWORD)PlayerState->Channel);
    PlayerState->Channel = 0;
    SetTrayTip(window, STOPPED_TIP);
    return 0;
}

int SetVolume(DWORD value) {
    if (!StoreSetting(&PlayerState->Volume, (LONG)value))
        return 0;
    if (PlayerState->Channel)
        AudioSetVolume((DWORD)PlayerState->Channel, (int)value);
    return 1;
}

int SetMute(LONG value) {
    StoreSetting(&PlayerState->Mute, value);
    if (PlayerState->Channel)
        AudioSetVolume((DWORD)PlayerState->Channel, value ? 0 : PlayerState->Volume);
    return 1;
}

int SetReplayGain(LONG mode) {
    if (!StoreSetting(&PlayerState->ReplayGain, mode))
        return 0;
    AudioApplyReplayGain();
    return 1;
}

// Runs on the audio library's thread: only hand the end over. Once the
// window is gone the post fails and the end is dropped.
void CALLBACK OnTrackEnd(HSYNC sync, DWORD channel, DWORD, DWORD user) {
    PostMessageW((HWND)(UINT_PTR)user, WM_TRACKEND, (WPARAM)channel, (LPARAM)sync);
}

// Only the end of the current stream through the sync armed for it counts:
// an end of a stream replaced meanwhile is stale, and a message that anyone
// could send with made-up values is not an end at all.
LRESULT OnTrackEndMessage(HWND window, WPARAM stream, LPARAM sync) {
    if (TeardownStarted || !PlayerState->Channel || (DWORD)stream != (DWORD)PlayerState->Channel ||
        !EndSync || (HSYNC)sync != EndSync)
        return 0;
    EndSync = 0;
    AudioRemoveSync((DWORD)PlayerState->Channel, (HSYNC)sync);
    if (PlayerState->PlayMode != PLAY_STOP_AT_END)
        PlayNext(window);
    return 0;
}
