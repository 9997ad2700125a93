#include "player/control/control_messages.h"

#include "player/core/player_state.h"
#include "player/playback/audio_library.h"
#include "player/playback/playback.h"
#include "player/playback/track_position.h"
#include "player/playlist/playlist.h"
#include "player/settings/settings.h"
#include "tonquil_extension.h"

typedef LRESULT (*CONTROL_HANDLER)(HWND window, WPARAM wParam, LPARAM lParam);

static LRESULT OnGetTrackEntry(HWND, WPARAM wParam, LPARAM) {
    return (LRESULT)GetTrack((LONG)wParam);
}

static LRESULT OnGetTrackNo(HWND, WPARAM, LPARAM) {
    return PlayerState->TrackNo;
}

static LRESULT OnSetTrackNo(HWND, WPARAM wParam, LPARAM) {
    return SetTrackNo((LONG)wParam);
}

static int IsReadableRegion(const MEMORY_BASIC_INFORMATION &region) {
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return region.State == MEM_COMMIT && (region.Protect & readable) &&
           !(region.Protect & (PAGE_GUARD | PAGE_NOACCESS));
}

// The path arrives as a bare address: a sender in another process, or one
// whose text is gone by the time a posted message is taken, hands over
// memory that cannot be read here. Every character is checked before it is
// read, up to the terminator.
static int IsReadableText(const WCHAR *text) {
    UINT_PTR readableEnd = (UINT_PTR)text;
    for (UINT_PTR position = (UINT_PTR)text;; position += sizeof(WCHAR)) {
        UINT_PTR characterEnd = position + sizeof(WCHAR);
        if (characterEnd < position)
            return 0; // past the end of the address space
        while (readableEnd < characterEnd) {
            MEMORY_BASIC_INFORMATION region;
            if (!VirtualQuery((const void *)readableEnd, &region, sizeof region) ||
                !IsReadableRegion(region))
                return 0;
            UINT_PTR regionEnd = (UINT_PTR)region.BaseAddress + region.RegionSize;
            if (regionEnd <= readableEnd)
                return 0;
            readableEnd = regionEnd;
        }
        if (!*(const WCHAR *)position)
            return 1;
    }
}

static LRESULT OnInsertTrack(HWND, WPARAM wParam, LPARAM lParam) {
    const WCHAR *path = (const WCHAR *)lParam;
    if (!path || !IsReadableText(path) || !path[0])
        return 0;
    return InsertTrack((LONG)wParam, path);
}

static LRESULT OnRemoveTrack(HWND, WPARAM wParam, LPARAM) {
    return RemoveTrack((LONG)wParam);
}

static LRESULT OnPlay(HWND window, WPARAM, LPARAM) {
    PlayTrack(window);
    return 1;
}

static LRESULT OnStop(HWND window, WPARAM, LPARAM) {
    StopPlayback(window);
    return 1;
}

static LRESULT OnPause(HWND, WPARAM, LPARAM) {
    PausePlayback();
    return 1;
}

static LRESULT OnPlayNext(HWND window, WPARAM, LPARAM) {
    PlayNext(window);
    return 1;
}

static LRESULT OnPlayPrevious(HWND window, WPARAM, LPARAM) {
    PlayPrevious(window);
    return 1;
}

static LRESULT OnGetSampleBit(HWND, WPARAM, LPARAM) {
    return PlayerState->SampleBit;
}

static LRESULT OnSetSampleBit(HWND, WPARAM wParam, LPARAM) {
    return StoreSetting(&PlayerState->SampleBit, (LONG)wParam);
}

static LRESULT OnGetVolume(HWND, WPARAM, LPARAM) {
    return PlayerState->Volume;
}

static LRESULT OnSetVolume(HWND, WPARAM wParam, LPARAM) {
    return SetVolume((DWORD)wParam);
}

static LRESULT OnGetMute(HWND, WPARAM, LPARAM) {
    return PlayerState->Mute;
}

static LRESULT OnSetMute(HWND, WPARAM wParam, LPARAM) {
    return SetMute((LONG)wParam);
}

static LRESULT OnGetPlayMode(HWND, WPARAM, LPARAM) {
    return PlayerState->PlayMode;
}

static LRESULT OnSetPlayMode(HWND, WPARAM wParam, LPARAM) {
    return StoreSetting(&PlayerState->PlayMode, (LONG)wParam);
}

static LRESULT OnGetShowInfo(HWND, WPARAM, LPARAM) {
    return PlayerState->ShowInfo;
}

static LRESULT OnSetShowInfo(HWND, WPARAM wParam, LPARAM) {
    return StoreSetting(&PlayerState->ShowInfo, (LONG)wParam);
}

static LRESULT OnInitAudio(HWND window, WPARAM, LPARAM) {
    return (LRESULT)InitAudioLibrary(window);
}

static LRESULT OnSetTrackStyle(HWND, WPARAM wParam, LPARAM) {
    return StoreSetting(&PlayerState->TrackStyle, (LONG)wParam);
}

static LRESULT OnGetTrackStyle(HWND, WPARAM, LPARAM) {
    return PlayerState->TrackStyle;
}

static LRESULT OnGetLength(HWND, WPARAM, LPARAM) {
    return TrackLengthMs();
}

static LRESULT OnGetPosition(HWND, WPARAM, LPARAM) {
    return TrackPositionMs();
}

static LRESULT OnSetPosition(HWND, WPARAM wParam, LPARAM) {
    return SeekTrack((LONG)wParam);
}

static LRESULT OnGetResume(HWND, WPARAM, LPARAM) {
    return PlayerState->Resume;
}

static LRESULT OnSetResume(HWND, WPARAM wParam, LPARAM) {
    return StoreSetting(&PlayerState->Resume, (LONG)wParam);
}

static LRESULT OnGetReplayGain(HWND, WPARAM, LPARAM) {
    return PlayerState->ReplayGain;
}

static LRESULT OnSetReplayGain(HWND, WPARAM wParam, LPARAM) {
    return SetReplayGain((LONG)wParam);
}

struct CONTROL_ENTRY {
    UINT Message;
    CONTROL_HANDLER Handler;
};

static const CONTROL_ENTRY ControlTable[] = {
    {CM_GETTRACKENTRY, OnGetTrackEntry},
    {CM_GETTRACKNO, OnGetTrackNo},
    {CM_SETTRACKNO, OnSetTrackNo},
    {CM_INSERTTRACK, OnInsertTrack},
    {CM_REMOVETRACK, OnRemoveTrack},
    {CM_PLAY, OnPlay},
    {CM_STOP, OnStop},
    {CM_PAUSE, OnPause},
    {CM_PLAYNEXT, OnPlayNext},
    {CM_PLAYPREV, OnPlayPrevious},
    {CM_GETSAMPLEBIT, OnGetSampleBit},
    {CM_SETSAMPLEBIT, OnSetSampleBit},
    {CM_GETVOLUME, OnGetVolume},
    {CM_SETVOLUME, OnSetVolume},
    {CM_GETMUTE, OnGetMute},
    {CM_SETMUTE, OnSetMute},
    {CM_GETPLAYMODE, OnGetPlayMode},
    {CM_SETPLAYMODE, OnSetPlayMode},
    {CM_GETSHOWINFO, OnGetShowInfo},
    {CM_SETSHOWINFO, OnSetShowInfo},
    {CM_INITAUDIO, OnInitAudio},
    {CM_SETTRACKSTYLE, OnSetTrackStyle},
    {CM_GETTRACKSTYLE, OnGetTrackStyle},
    {CM_GETLENGTH, OnGetLength},
    {CM_GETPOSITION, OnGetPosition},
    {CM_SETPOSITION, OnSetPosition},
    {CM_GETRESUME, OnGetResume},
    {CM_SETRESUME, OnSetResume},
    {CM_GETREPLAYGAIN, OnGetReplayGain},
    {CM_SETREPLAYGAIN, OnSetReplayGain},
};

static CONTROL_HANDLER FindHandler(UINT message) {
    for (const CONTROL_ENTRY &entry : ControlTable)
        if (entry.Message == message)
            return entry.Handler;
    return NULL;
}

int IsControlMessage(UINT message) {
    return FindHandler(message) != NULL;
}

LRESULT OnControlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CONTROL_HANDLER handler = FindHandler(message);
    return handler ? handler(window, wParam, lParam)
                   : DefWindowProcW(window, message, wParam, lParam);
}
