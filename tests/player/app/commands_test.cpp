// WM_COMMAND at the real hidden main window, with the recording bass.dll.
#include <gtest/gtest.h>

#include "player/app/commands.h"
#include "player/core/player_state.h"
#include "playback_fixture.h"
#include "player_window.h"
#include "player/playlist/playlist.h"
#include "test_support.h"
#include "tonquil_extension.h"
#include "player/tray/tray_icon.h"
#include "tonquil_version.h"

#include <algorithm>
#include <random>
#include <initializer_list>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

namespace {

// The command set drives the same player as the playback tests, through
// WM_COMMAND only.
class CommandsTest : public PlaybackTest {
  protected:
    void AddTracks(int count) {
        for (int i = 0; i < count; ++i)
            AddTrack(std::to_wstring(i) + L".mp3");
    }

    LRESULT Command(WPARAM wParam) {
        return SendMessageW(window, WM_COMMAND, wParam, 0);
    }

    // The WM_COMMAND ids waiting in the queue, left in it.
    std::vector<WPARAM> PostedCommands() {
        std::vector<WPARAM> ids;
        std::vector<MSG> taken;
        MSG message;
        while (PeekMessageW(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
            ids.push_back(message.wParam);
            taken.push_back(message);
        }
        for (const MSG &again : taken)
            PostMessageW(again.hwnd, again.message, again.wParam, again.lParam);
        return ids;
    }

    // While the first track plays, each id, with and without a high word, is
    // answered 0 and changes nothing.
    void ExpectIdsChangeNothing(std::initializer_list<WPARAM> ids) {
        Command(IDM_PLAY);
        size_t before = Calls().size();

        for (WPARAM id : ids) {
            EXPECT_EQ(0, Command(id)) << id;
            EXPECT_EQ(0, Command(MAKEWPARAM(id, 1))) << id;
        }

        EXPECT_TRUE(CallsAfter(before).empty());
        EXPECT_EQ(1, PlayerState->Channel);
        EXPECT_EQ(0, PlayerState->TrackNo);
        EXPECT_TRUE(PostedCommands().empty());
    }
};

} // namespace

TEST_F(CommandsTest, ATrackCommandStopsAtOnceAndPlaysWhenThePostedPlayIsTaken) {
    AddTracks(3);
    Command(IDM_PLAY);
    ASSERT_EQ(1, PlayerState->Channel);
    size_t before = Calls().size();

    EXPECT_EQ(0, Command(IDM_TRACK_FIRST + 2));

    EXPECT_EQ(Lines{"BASS_ChannelStop(1)=1"}, CallsAfter(before));
    EXPECT_EQ(0, PlayerState->Channel);
    EXPECT_EQ(2, PlayerState->TrackNo);
    EXPECT_EQ(L"Tonquil", LastTip());
    EXPECT_EQ(std::vector<WPARAM>{IDM_PLAY}, PostedCommands());

    PumpMessages();

    EXPECT_EQ(2, PlayerState->Channel);
    EXPECT_EQ(L"2.mp3 - Tonquil", LastTip());
}

TEST_F(CommandsTest, ATrackCommandAtOrBeyondTheCountChangesNothing) {
    AddTracks(3);
    ExpectIdsChangeNothing({IDM_TRACK_FIRST + 3, IDM_TRACK_FIRST + 4, 0xFFFF});
}

TEST_F(CommandsTest, ATrackCommandWhileTheListIsEmptyDoesNothing) {
    EXPECT_EQ(0, Command(IDM_TRACK_FIRST));
    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(PostedCommands().empty());
    // At most the icon's own tip.
    EXPECT_TRUE(std::count_if(TrayRequests.begin(), TrayRequests.end(),
                              [](const TrayRequest &request) { return request.flags & NIF_TIP; }) <=
                1);
}

TEST_F(CommandsTest, TheHighWordOfWParamIsNotLookedAt) {
    AddTracks(3);
    Command(MAKEWPARAM(IDM_PLAY, 1));
    EXPECT_EQ(1, PlayerState->Channel);
    Command(MAKEWPARAM(IDM_PLAYNEXT, 0xFFFF));
    EXPECT_EQ(1, PlayerState->TrackNo);
    Command(MAKEWPARAM(IDM_PAUSE, 1));
    EXPECT_EQ(Lines{"BASS_ChannelPause(2)=1"}, LogLinesStarting(Calls(), "BASS_ChannelPause"));
    Command(MAKEWPARAM(IDM_STOP, 1));
    EXPECT_EQ(0, PlayerState->Channel);
    Command(MAKEWPARAM(IDM_TRACK_FIRST + 2, 1));
    EXPECT_EQ(2, PlayerState->TrackNo);
    EXPECT_EQ(std::vector<WPARAM>{IDM_PLAY}, PostedCommands());
}

TEST_F(CommandsTest, IdsThatNameNoCommandDoNothing) {
    AddTracks(2);
    ExpectIdsChangeNothing({0, 1, 255, 266, 1000, 1279});
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(CommandsTest, PlaybackCommandsMoveThroughTheList) {
    AddTracks(3);
    struct Step {
        WPARAM id;
        LONG trackNo, channel;
    } steps[] = {
        {IDM_PLAY, 0, 1},     {IDM_PLAYNEXT, 1, 2}, {IDM_PLAYNEXT, 2, 3}, {IDM_PLAYNEXT, 0, 4},
        {IDM_PLAYPREV, 0, 5}, {IDM_PAUSE, 0, 5},    {IDM_PLAY, 0, 5},     {IDM_STOP, 0, 0},
    };
    for (const Step &step : steps) {
        EXPECT_EQ(0, Command(step.id)) << step.id;
        EXPECT_EQ(step.trackNo, PlayerState->TrackNo) << step.id;
        EXPECT_EQ(step.channel, PlayerState->Channel) << step.id;
    }
}

TEST_F(CommandsTest, ExitReturnsAtOnceAndTheWindowClosesFromTheQueue) {
    EXPECT_EQ(0, Command(IDM_EXIT));
    EXPECT_TRUE(IsWindow(window));

    PumpMessages();

    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(ReadBytes(folder + L"tonquil.ini").empty());
}

TEST_F(CommandsTest, CommandsInAnyOrderWhileNothingIsLoadedAreQuiet) {
    std::vector<WPARAM> ids = {IDM_PAUSE,
                               IDM_PLAY,
                               IDM_PLAYNEXT,
                               IDM_PLAYPREV,
                               IDM_SHOWWINDOW,
                               IDM_STOP,
                               IDM_TRACK_FIRST,
                               IDM_TRACK_FIRST + 1,
                               0,
                               MAKEWPARAM(IDM_PLAY, 1)};
    PlaylistLoaded = 0; // and no playlist file to load
    std::mt19937 shuffle(20240601);
    for (LONG mode : {0L, 1L, 2L}) {
        PlayerState->PlayMode = mode;
        for (int round = 0; round < 20; ++round) {
            std::shuffle(ids.begin(), ids.end(), shuffle);
            for (WPARAM id : ids)
                Command(id);
            PumpMessages();
        }
    }
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(nullptr, GetModuleHandleW(L"bass.dll"));
    EXPECT_EQ(0, CountTracks());
    EXPECT_EQ(0, PlayerState->Channel);
}

namespace {

struct AboutSeen {
    int found;
    std::wstring caption;
    std::wstring text;
    HWND owner;
};
AboutSeen About;

BOOL CALLBACK ReadStatic(HWND child, LPARAM) {
    WCHAR name[32], text[512];
    GetClassNameW(child, name, 32);
    if (lstrcmpiW(name, L"Static") == 0 && GetWindowTextW(child, text, 512) > 0 &&
        lstrlenW(text) > (int)About.text.size())
        About.text = text;
    return TRUE;
}

BOOL CALLBACK FindDialog(HWND candidate, LPARAM parameter) {
    WCHAR name[32];
    GetClassNameW(candidate, name, 32);
    if (lstrcmpW(name, L"#32770") != 0)
        return TRUE;
    *(HWND *)parameter = candidate;
    return FALSE;
}

// Runs inside the box's own modal loop: reads the box, then closes it.
void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, (LPARAM)&box);
    if (!box)
        return;
    KillTimer(NULL, timer);
    ++About.found;
    WCHAR caption[64];
    GetWindowTextW(box, caption, 64);
    About.caption = caption;
    About.owner = GetWindow(box, GW_OWNER);
    EnumChildWindows(box, ReadStatic, 0);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST(AboutBox, TextHasTheProductLineTheVersionLineAndANotice) {
    std::wstring text = AboutText;
    size_t first = text.find(L'\n');
    size_t second = text.find(L'\n', first + 1);
    ASSERT_NE(std::wstring::npos, second);
    EXPECT_EQ(L"Tonquil Log Mode", text.substr(0, first));
    EXPECT_EQ(L"Version " TONQUIL_VERSION_DOTS L" (Unicode Build)",
              text.substr(first + 1, second - first - 1));
    EXPECT_LT(second + 1, text.size());
    EXPECT_EQ(std::wstring::npos, text.find(L'\n', second + 1));
    EXPECT_STREQ(L"About", AboutCaption);
}

TEST_F(CommandsTest, AboutShowsAModalBoxOwnedByTheWindowAndReturnsWhenItCloses) {
    About = AboutSeen();
    UINT_PTR timer = SetTimer(NULL, 0, 50, CloseAboutBox);
    ASSERT_NE(0u, timer);

    EXPECT_EQ(0, Command(IDM_ABOUT));

    EXPECT_EQ(1, About.found);
    EXPECT_EQ(L"About", About.caption);
    EXPECT_EQ(window, About.owner);
    // The box may wrap or trim the lines; the words are what matter.
    EXPECT_NE(std::wstring::npos, About.text.find(L"Tonquil Log Mode"));
    EXPECT_NE(std::wstring::npos,
              About.text.find(L"Version " TONQUIL_VERSION_DOTS L" (Unicode Build)"));
}
