// Starting a track: the calls made of the audio library, in their order,
// what happens to entries that cannot be opened, and what the tray shows.
#include "playback_fixture.h"

#include "player/core/player_state.h"
#include "player/playback/audio_library.h"
#include "player/playback/playback.h"
#include "player/playlist/playlist.h"
#include "test_support.h"
#include "tonquil_extension.h"
#include "player/tray/tray_icon.h"

#include <malloc.h>

using Lines = std::vector<std::string>;

TEST_F(PlaybackTest, FirstPlayInitsStopsOpensArmsTheEndAndPlaysInThatOrder) {
    AddTrack(L"a.mp3");
    PlayerState->SampleBit = BASS_SAMPLE_MONO;
    EXPECT_EQ(nullptr, GetModuleHandleW(L"bass.dll"));

    EXPECT_EQ(0, PlayTrack(window));

    Lines expected = {
        "load",
        "BASS_Init(-1,44100,0," + Hwnd() + ",0)=1",
        "BASS_ChannelIsActive(0)=0",
        "BASS_ChannelStop(0)=0",
        "BASS_StreamCreateFile(0," + TrackPath(L"a.mp3") + ",0,0,0x80040002)=1",
        "BASS_ChannelSetSync(1,0x80000002,0,proc," + Hwnd() + ")=100",
        "BASS_ChannelPlay(1,0)=1",
    };
    EXPECT_EQ(expected, Calls());
    EXPECT_EQ(1, PlayerState->Channel);
    EXPECT_EQ(L"a.mp3 - Tonquil", LastTip());
}

TEST_F(PlaybackTest, VolumeIsSetOnOpenOnlyWhenMutedOrBelowFull) {
    AddTrack(L"a.mp3");
    struct Case {
        LONG mute, volume;
        const char *call; // NULL: no attribute call at all
    } cases[] = {
        {0, 100, NULL},
        {0, 40, "BASS_ChannelSetAttributes(%lu,0,40,0)=1"},
        {0, 0, "BASS_ChannelSetAttributes(%lu,0,0,0)=1"},
        {7, 100, "BASS_ChannelSetAttributes(%lu,0,0,0)=1"},
        {-1, 40, "BASS_ChannelSetAttributes(%lu,0,0,0)=1"},
    };
    for (const Case &c : cases) {
        PlayerState->Mute = c.mute;
        PlayerState->Volume = c.volume;
        size_t before = Calls().size();
        PlayTrack(window);
        Lines attributes = LogLinesStarting(CallsAfter(before), "BASS_ChannelSetAttributes");
        if (!c.call) {
            EXPECT_TRUE(attributes.empty()) << "mute " << c.mute << " volume " << c.volume;
            continue;
        }
        char expected[128];
        wsprintfA(expected, c.call, (unsigned long)PlayerState->Channel);
        EXPECT_EQ(Lines{expected}, attributes) << "mute " << c.mute << " volume " << c.volume;
    }
}

TEST_F(PlaybackTest, PlayAfterPauseResumesTheSameStreamWithoutReopening) {
    AddTrack(L"a.mp3");
    AddTrack(L"b.mp3");
    PlayTrack(window);
    PausePlayback();
    PlayerState->TrackNo = 1; // moved meanwhile, as a control message may do
    size_t before = Calls().size();

    PlayTrack(window);

    Lines expected = {"BASS_ChannelIsActive(1)=3", "BASS_ChannelPlay(1,0)=1"};
    EXPECT_EQ(expected, CallsAfter(before));
    EXPECT_EQ(1, PlayerState->Channel);
    // The tip names the entry at TrackNo again, as on every start.
    EXPECT_EQ(L"b.mp3 - Tonquil", LastTip());
}

TEST_F(PlaybackTest, PlayWhilePlayingStartsTheEntryAgainFromANewStream) {
    AddTrack(L"a.mp3");
    PlayTrack(window);
    size_t before = Calls().size();

    PlayTrack(window);

    Lines calls = CallsAfter(before);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ("BASS_ChannelIsActive(1)=1", calls[0]);
    EXPECT_EQ("BASS_ChannelStop(1)=1", calls[1]);
    EXPECT_EQ("BASS_StreamCreateFile(0," + TrackPath(L"a.mp3") + ",0,0,0x80040000)=2", calls[2]);
    EXPECT_EQ(2, PlayerState->Channel);
}

TEST_F(PlaybackTest, StopEndsTheStreamAndPutsTheStoppedTipBack) {
    AddTrack(L"a.mp3");
    PlayTrack(window);
    size_t before = Calls().size();

    EXPECT_EQ(0, StopPlayback(window));

    EXPECT_EQ(Lines{"BASS_ChannelStop(1)=1"}, CallsAfter(before));
    EXPECT_EQ(0, PlayerState->Channel);
    EXPECT_EQ(0, PlayerState->TrackNo);
    EXPECT_EQ(L"Tonquil", LastTip());
}

TEST_F(PlaybackTest, AnUnopenableEntryIsRemovedAndTheNextOnePlaysAtTheSameIndex) {
    std::wstring a = AddTrack(L"a.mp3");
    AddTrack(L"b.mp3", "REFUSE");
    std::wstring c = AddTrack(L"c.mp3");
    std::wstring gone = AddTrack(L"d.mp3");
    DeletePath(gone); // a file that went away after the list was read
    std::wstring e = AddTrack(L"e.mp3");
    PlayerState->TrackNo = 1;

    PlayTrack(window);

    EXPECT_EQ(1, PlayerState->TrackNo);
    EXPECT_EQ((std::vector<std::wstring>{a, c, gone, e}), PlaylistPaths());
    // Each refused file is tried twice, the second time after the plug-ins.
    EXPECT_EQ(2u,
              LogLinesStarting(Calls(), "BASS_StreamCreateFile(0," + TrackPath(L"b.mp3")).size());
    EXPECT_EQ(L"c.mp3 - Tonquil", LastTip());

    PlayerState->TrackNo = 2;
    PlayTrack(window);
    EXPECT_EQ(2, PlayerState->TrackNo);
    EXPECT_EQ((std::vector<std::wstring>{a, c, e}), PlaylistPaths());
    EXPECT_EQ(L"e.mp3 - Tonquil", LastTip());
}

TEST_F(PlaybackTest, ALastUnopenableEntryGivesWayToADrawnIndex) {
    std::wstring a = AddTrack(L"a.mp3");
    AddTrack(L"b.mp3", "REFUSE");
    PlayerState->TrackNo = 1;

    PlayTrack(window);

    // One entry is left, so the draw can only give 0.
    EXPECT_EQ(0, PlayerState->TrackNo);
    EXPECT_EQ(std::vector<std::wstring>{a}, PlaylistPaths());
    EXPECT_NE(0, PlayerState->Channel);
}

namespace {

struct PlayCall {
    HWND window;
    int result;
};

// Leaves PlayTrack only the top 64 KB of its thread's stack: a routine that
// went one call deeper for every unopenable entry, each taking no more than
// its return address, arguments and saved registers, would run out long
// before the last of thousands.
DWORD WINAPI PlayNearTheStackEnd(void *parameter) {
    char here = 0;
    MEMORY_BASIC_INFORMATION stack;
    if (!VirtualQuery(&here, &stack, sizeof stack))
        return 1;
    SIZE_T room = (SIZE_T)(&here - (char *)stack.AllocationBase);
    const SIZE_T left = 64 * 1024;
    volatile char *used = (volatile char *)alloca(room > 2 * left ? room - left : 1);
    used[0] = 0;
    PlayCall *call = (PlayCall *)parameter;
    call->result = PlayTrack(call->window);
    return used[0];
}

} // namespace

TEST_F(PlaybackTest, ThousandsOfUnplayableEntriesEmptyTheListWithoutExhaustingTheStack) {
    std::wstring bad = WriteTrack(L"bad.mp3", "REFUSE");
    const LONG count = 5000;
    TRACKENTRY *last = Playlist;
    for (LONG i = 0; i < count; ++i)
        last = LinkNewTrack(last, bad.c_str());
    ASSERT_EQ(count, CountTracks());
    InitAudioLibrary(window);
    DeletePath(folder + L"bass-calls.log"); // no log: thousands of calls

    PlayCall call = {window, -1};
    HANDLE thread = CreateThread(NULL, 0, PlayNearTheStackEnd, &call, 0, NULL);
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 60000));
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);

    EXPECT_EQ(0u, code);
    EXPECT_EQ(0, call.result);
    EXPECT_EQ(0, CountTracks());
    EXPECT_EQ(0, PlayerState->Channel);
}

TEST_F(PlaybackTest, AnEmptyPlaylistPlaysNothingAndLeavesTheLibraryUnloaded) {
    EXPECT_EQ(0, PlayTrack(window));
    EXPECT_EQ(nullptr, AudioLibrary);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(PlaybackTest, PlayWithTheListEmptiedUnderTheStreamStopsNothing) {
    AddTrack(L"a.mp3");
    PlayTrack(window);
    RemoveTrack(0);
    size_t before = Calls().size();

    EXPECT_EQ(0, PlayTrack(window));

    EXPECT_TRUE(CallsAfter(before).empty());
    EXPECT_EQ(1, PlayerState->Channel);
}

TEST_F(PlaybackTest, ATrackNoOutsideTheListIsReplacedBeforeAnythingPlays) {
    AddTrack(L"a.mp3");
    for (LONG trackNo : {1L, -1L, 0x7FFFFFFFL, (LONG)0x80000000}) {
        PlayerState->TrackNo = trackNo;
        PlayTrack(window);
        EXPECT_EQ(0, PlayerState->TrackNo) << trackNo;
        EXPECT_EQ(L"a.mp3 - Tonquil", LastTip());
    }
}

TEST_F(PlaybackTest, TheBalloonNamesTheFileOrTheTagsAsShowInfoAsks) {
    std::wstring plain = AddTrack(L"plain.mp3");
    std::wstring tagged = AddTrack(L"tagged.mp3");
    std::string tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(3, 5, "Title");
    tag.replace(33, 6, "Artist");
    ASSERT_TRUE(WriteBytes(tagged + L".id3v1", tag));

    auto balloons = [] {
        std::vector<TrayRequest> shown;
        for (const TrayRequest &request : TrayRequests)
            if (request.flags & NIF_INFO)
                shown.push_back(request);
        return shown;
    };

    PlayerState->ShowInfo = SHOW_NOTHING;
    PlayTrack(window);
    EXPECT_TRUE(balloons().empty());

    PlayerState->ShowInfo = SHOW_FILE_NAME;
    PlayerState->TrackNo = 1;
    PlayTrack(window);
    ASSERT_EQ(1u, balloons().size());
    EXPECT_EQ(L"", balloons()[0].infoTitle);
    EXPECT_EQ(L"tagged.mp3", balloons()[0].info);

    PlayerState->ShowInfo = SHOW_ARTIST_TITLE;
    PlayTrack(window);
    ASSERT_EQ(2u, balloons().size());
    EXPECT_EQ(L"Artist", balloons()[1].infoTitle);
    EXPECT_EQ(L"Title", balloons()[1].info);

    // Without tags the base name stands in for the title.
    PlayerState->TrackNo = 0;
    PlayTrack(window);
    ASSERT_EQ(3u, balloons().size());
    EXPECT_EQ(L"", balloons()[2].infoTitle);
    EXPECT_EQ(L"plain.mp3", balloons()[2].info);
    // The tip follows the balloon.
    EXPECT_EQ(NIF_TIP, TrayRequests.back().flags);
}

namespace {

HWND RemovingWindow;
std::wstring Replacement; // a path as long as the removed one's
UINT RemoveAtRequest;     // the shell request (NIF_TIP or NIF_INFO) that removes, once

// The shell call dispatches a message from elsewhere that removes the entry
// being started; the paths inserted after it take the freed memory.
BOOL WINAPI RemoveDuringShellCall(DWORD message, PNOTIFYICONDATAW data) {
    if (data->uFlags & RemoveAtRequest) {
        RemoveAtRequest = 0;
        SendMessageW(RemovingWindow, CM_REMOVETRACK, 0, 0);
        for (int i = 0; i < 8; ++i)
            InsertTrack(-1, Replacement.c_str());
    }
    TrayRequests.push_back({message, data->uFlags, data->szTip, data->szInfoTitle, data->szInfo});
    return TRUE;
}

} // namespace

// The entry's path is used around shell calls, which can let another
// message remove the entry; the balloon and the tip come after playback has
// started, when a short track may have ended and been freed.
TEST_F(PlaybackTest, TheBalloonAndTipNameTheTrackThatStartedWhateverHappensMeanwhile) {
    struct Case {
        const wchar_t *name;
        const char *content;
        UINT removeAt;
    } cases[] = {{L"ends at once.mp3", "BRIEF", 0},
                 {L"removed at the stop.mp3", "OK", NIF_TIP},
                 {L"removed at the balloon.mp3", "OK", NIF_INFO}};
    std::string tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(3, 5, "Title");
    tag.replace(33, 6, "Artist");
    PlayerState->ShowInfo = SHOW_ARTIST_TITLE;
    NotifyIconCall = RemoveDuringShellCall;
    RemovingWindow = window;
    for (const Case &c : cases) {
        ClearPlaylist();
        std::wstring path = AddTrack(c.name, c.content);
        ASSERT_TRUE(WriteBytes(path + L".id3v1", tag));
        TrayRequests.clear();
        Replacement = WriteTrack(std::wstring(lstrlenW(c.name) - 4, L'x') + L".mp3", "OK");
        RemoveAtRequest = c.removeAt;

        PlayTrack(window);

        ASSERT_LE(2u, TrayRequests.size()) << Utf8(c.name);
        const TrayRequest &balloon = TrayRequests[TrayRequests.size() - 2];
        EXPECT_EQ(L"Artist", balloon.infoTitle) << Utf8(c.name);
        EXPECT_EQ(L"Title", balloon.info) << Utf8(c.name);
        EXPECT_EQ(std::wstring(c.name) + L" - Tonquil", LastTip());
    }
}
