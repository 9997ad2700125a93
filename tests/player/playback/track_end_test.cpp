// The end of a track arrives on the audio library's own thread; the player
// goes on from its main window's thread.
#include "playback_fixture.h"

#include "player/core/window_contract.h"
#include "player/core/player_state.h"
#include "player/control/extension_host.h"
#include "player/playback/playback.h"
#include "player_window.h"
#include "player/playlist/playlist.h"
#include "test_support.h"
#include "tonquil_extension.h"

using Lines = std::vector<std::string>;

class TrackEndTest : public PlaybackTest {
  protected:
    void SetUp() override {
        PlaybackTest::SetUp();
        AddTrack(L"0.mp3");
        AddTrack(L"1.mp3");
        AddTrack(L"2.mp3");
    }
};

TEST_F(TrackEndTest, AnEndFromAnotherThreadAdvancesOnlyOnTheMainThread) {
    PlayerState->PlayMode = PLAY_IN_ORDER;
    std::wstring module = MakeScratchFolder(L"module");
    ASSERT_TRUE(CopyInto(DoublesFolder() + L"extension\\tonquil.dll", module + L"tonquil.dll"));
    ResetLog(module, L"extension-calls.log");
    ExtensionModule = LoadLibraryW((module + L"tonquil.dll").c_str());
    ASSERT_NE(nullptr, ExtensionModule);
    TrackStartedListener = TellExtensionTrackStarted; // as a successful load registers it
    PlayTrack(window);
    size_t before = Calls().size();

    ASSERT_EQ(1, FireEnd(1));

    // The library's thread has returned; nothing of the player moved yet.
    EXPECT_TRUE(CallsAfter(before).empty());
    EXPECT_EQ(0, PlayerState->TrackNo);
    EXPECT_EQ(1, PlayerState->Channel);

    EXPECT_GE(PumpMessages(), 1);

    Lines calls = CallsAfter(before);
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ("BASS_ChannelRemoveSync(1,100)=0", calls[0]); // one-time: already gone
    EXPECT_EQ("BASS_ChannelIsActive(1)=1", calls[1]);
    EXPECT_EQ("BASS_ChannelStop(1)=1", calls[2]);
    EXPECT_EQ("BASS_StreamCreateFile(0," + TrackPath(L"1.mp3") + ",0,0,0x80040000)=2", calls[3]);
    EXPECT_EQ(1, PlayerState->TrackNo);
    EXPECT_EQ(2, PlayerState->Channel);
    EXPECT_EQ(L"1.mp3 - Tonquil", LastTip());
    Lines changes = LogLinesStarting(ReadLog(module, L"extension-calls.log"), "0x8106");
    EXPECT_EQ((Lines{"0x8106 0 0 main", "0x8106 1 0 main"}), changes);
}

TEST_F(TrackEndTest, ShuffleGoesOnToAnotherTrackAtTheEnd) {
    PlayerState->PlayMode = PLAY_SHUFFLE;
    PlayNext(window);
    LONG first = PlayerState->TrackNo;

    ASSERT_EQ(1, FireEnd((DWORD)PlayerState->Channel));
    PumpMessages();

    EXPECT_NE(first, PlayerState->TrackNo);
    EXPECT_EQ(2, PlayerState->Channel);
}

TEST_F(TrackEndTest, AnEndForAStreamThatIsNoLongerCurrentIsIgnored) {
    PlayerState->PlayMode = PLAY_IN_ORDER;
    PlayTrack(window);
    ASSERT_EQ(1, FireEnd(1));
    // The user picks another track before the end is handled.
    PlayerState->TrackNo = 2;
    PlayTrack(window);
    size_t before = Calls().size();

    PumpMessages();

    EXPECT_TRUE(CallsAfter(before).empty());
    EXPECT_EQ(2, PlayerState->TrackNo);
    EXPECT_EQ(2, PlayerState->Channel);
}

TEST_F(TrackEndTest, AnEndAfterStopIsIgnored) {
    PlayerState->PlayMode = PLAY_IN_ORDER;
    PlayTrack(window);
    ASSERT_EQ(1, FireEnd(1));
    StopPlayback(window);
    size_t before = Calls().size();

    PumpMessages();

    EXPECT_TRUE(CallsAfter(before).empty());
    EXPECT_EQ(0, PlayerState->Channel);
    EXPECT_EQ(L"Tonquil", LastTip());
}

TEST_F(TrackEndTest, ModeZeroStopsAtTheEndAndKeepsTheEndedStream) {
    PlayerState->PlayMode = PLAY_STOP_AT_END;
    PlayTrack(window);
    ASSERT_EQ(1, FireEnd(1));
    size_t before = Calls().size();

    PumpMessages();

    EXPECT_EQ(Lines{"BASS_ChannelRemoveSync(1,100)=0"}, CallsAfter(before));
    EXPECT_EQ(0, PlayerState->TrackNo);
    EXPECT_EQ(1, PlayerState->Channel);
    EXPECT_EQ(L"0.mp3 - Tonquil", LastTip());
}

TEST_F(TrackEndTest, AnEndStillQueuedWhenTheWindowClosesDoesNothing) {
    PlayerState->PlayMode = PLAY_IN_ORDER;
    PlayTrack(window);
    ASSERT_EQ(1, FireEnd(1));
    size_t before = Calls().size();

    ClosePlayerWindow(window);

    Lines calls = CallsAfter(before);
    EXPECT_TRUE(LogLinesStarting(calls, "BASS_ChannelRemoveSync").empty());
    EXPECT_TRUE(LogLinesStarting(calls, "BASS_StreamCreateFile").empty());
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ("unload", calls.back());
}

TEST_F(TrackEndTest, AnEndMessageAfterTeardownBeganIsDropped) {
    PlayerState->PlayMode = PLAY_IN_ORDER;
    PlayTrack(window);
    size_t before = Calls().size();
    TeardownStarted = 1;

    EXPECT_EQ(0, SendMessageW(window, WM_TRACKEND, 1, 100));

    EXPECT_TRUE(CallsAfter(before).empty());
    EXPECT_EQ(0, PlayerState->TrackNo);
    TeardownStarted = 0;
}

// Anyone can send the end message; only the sync armed for the current
// stream, with that stream, is an end.
TEST_F(TrackEndTest, AnEndMessageCountsOnlyForTheArmedSyncOfTheCurrentStream) {
    struct Case {
        bool noSync;
        int streamOffset;
        int syncOffset;
        bool advances;
    } cases[] = {{true, 0, 0, false},
                 {false, 0, -1, false},
                 {false, 0, 1, false},
                 {false, 1, 0, false},
                 {false, 0, 0, true}};
    PlayerState->PlayMode = PLAY_IN_ORDER;
    for (const Case &c : cases) {
        PlayerState->TrackNo = 0;
        PlayTrack(window);
        std::string armed = LogLinesStarting(Calls(), "BASS_ChannelSetSync(").back();
        LONG sync = std::stol(armed.substr(armed.find('=') + 1));
        WPARAM stream = (WPARAM)(PlayerState->Channel + c.streamOffset);

        SendMessageW(window, WM_TRACKEND, stream, c.noSync ? 0 : (LPARAM)(sync + c.syncOffset));

        EXPECT_EQ(c.advances ? 1 : 0, PlayerState->TrackNo)
            << c.noSync << " " << c.streamOffset << " " << c.syncOffset;
    }
}
