// Next, previous, pause, volume and mute.
#include "playback_fixture.h"

#include "player/core/player_state.h"
#include "player/playback/playback.h"
#include "player/playlist/playlist.h"
#include "player/playlist/shuffle.h"
#include "test_support.h"

using Lines = std::vector<std::string>;

class MovesTest : public PlaybackTest {
  protected:
    void AddThree() {
        AddTrack(L"0.mp3");
        AddTrack(L"1.mp3");
        AddTrack(L"2.mp3");
    }
};

TEST_F(MovesTest, NextAndPreviousInListOrderWrapForwardOnlyInModesZeroAndOne) {
    AddThree();
    for (LONG mode : {0L, 1L}) {
        PlayerState->PlayMode = mode;
        struct Step {
            LONG from;
            bool next;
            LONG to;
        } steps[] = {{0, true, 1},  {1, true, 2},  {2, true, 0},
                     {2, false, 1}, {1, false, 0}, {0, false, 0}};
        for (const Step &step : steps) {
            PlayerState->TrackNo = step.from;
            EXPECT_EQ(0, step.next ? PlayNext(window) : PlayPrevious(window));
            EXPECT_EQ(step.to, PlayerState->TrackNo)
                << "mode " << mode << (step.next ? " next from " : " previous from ") << step.from;
            std::wstring tip = std::to_wstring(step.to) + L".mp3 - Tonquil";
            EXPECT_EQ(tip, LastTip());
        }
    }
}

TEST_F(MovesTest, NextBeforeTheListFileIsReadCountsNoEntriesAndPlaysTheFirst) {
    std::wstring m3u;
    for (const wchar_t *name : {L"0.mp3", L"1.mp3", L"2.mp3"})
        m3u += WriteTrack(name, "OK") + L"\r\n";
    ASSERT_TRUE(WriteBytes(folder + L"tonquil.m3u", Utf8(m3u)));
    PlaylistLoaded = 0;
    PlayerState->TrackNo = 1;

    PlayNext(window);

    EXPECT_EQ(3, CountTracks());
    EXPECT_EQ(0, PlayerState->TrackNo);
    EXPECT_EQ(L"0.mp3 - Tonquil", LastTip());
}

TEST_F(MovesTest, ShuffleWalksACycleAndPreviousRetracesItsHistory) {
    AddThree();
    PlayerState->PlayMode = PLAY_SHUFFLE;

    PlayNext(window);
    LONG first = PlayerState->TrackNo;
    PlayNext(window);
    LONG second = PlayerState->TrackNo;
    ASSERT_NE(first, second);

    PlayPrevious(window);
    EXPECT_EQ(first, PlayerState->TrackNo);
    // No earlier track is left in the history: previous acts as next and
    // takes the one entry this cycle has not played.
    PlayPrevious(window);
    LONG third = PlayerState->TrackNo;
    EXPECT_NE(first, third);
    EXPECT_NE(second, third);
    EXPECT_GE(third, 0);
    EXPECT_LT(third, 3);
    EXPECT_EQ(std::to_wstring(third) + L".mp3 - Tonquil", LastTip());
}

TEST_F(MovesTest, ShuffleNextOnAnEmptyListPlaysNothing) {
    PlayerState->PlayMode = PLAY_SHUFFLE;
    EXPECT_EQ(0, PlayNext(window));
    EXPECT_EQ(0, PlayPrevious(window));
    EXPECT_TRUE(Calls().empty());
}

TEST_F(MovesTest, PauseKeepsTheStreamAndChangesNothingOfThePlayer) {
    AddTrack(L"a.mp3");
    PlayTrack(window);
    size_t before = Calls().size();

    EXPECT_EQ(0, PausePlayback());

    EXPECT_EQ(Lines{"BASS_ChannelPause(1)=1"}, CallsAfter(before));
    EXPECT_EQ(1, PlayerState->Channel);
    EXPECT_EQ(L"a.mp3 - Tonquil", LastTip());
}

TEST_F(MovesTest, SetVolumeRefusesValuesAboveOneHundredTakenUnsigned) {
    AddTrack(L"a.mp3");
    PlayTrack(window);
    PlayerState->Volume = 60;
    size_t before = Calls().size();

    EXPECT_EQ(0, SetVolume(101));
    EXPECT_EQ(0, SetVolume((DWORD)-1));
    EXPECT_EQ(0, SetVolume(0x80000000u));
    EXPECT_EQ(60, PlayerState->Volume);
    EXPECT_TRUE(CallsAfter(before).empty());

    EXPECT_EQ(1, SetVolume(100));
    EXPECT_EQ(1, SetVolume(0));
    EXPECT_EQ(0, PlayerState->Volume);
    Lines expected = {"BASS_ChannelSetAttributes(1,0,100,0)=1",
                      "BASS_ChannelSetAttributes(1,0,0,0)=1"};
    EXPECT_EQ(expected, CallsAfter(before));
}

TEST_F(MovesTest, SetVolumeWhileMutedMakesTheStreamAudibleButKeepsMute) {
    AddTrack(L"a.mp3");
    PlayerState->Mute = 1;
    PlayTrack(window);
    size_t before = Calls().size();

    EXPECT_EQ(1, SetVolume(30));

    EXPECT_EQ(Lines{"BASS_ChannelSetAttributes(1,0,30,0)=1"}, CallsAfter(before));
    EXPECT_EQ(1, PlayerState->Mute);
    // The next start applies the mute again.
    PlayTrack(window);
    EXPECT_EQ(Lines{"BASS_ChannelSetAttributes(2,0,0,0)=1"},
              LogLinesStarting(CallsAfter(before + 1), "BASS_ChannelSetAttributes"));
}

TEST_F(MovesTest, SetMuteTakesAnyValueAndTouchesOnlyAStreamThatExists) {
    EXPECT_EQ(1, SetMute(5));
    EXPECT_EQ(5, PlayerState->Mute);
    EXPECT_EQ(1, SetVolume(70));
    EXPECT_EQ(70, PlayerState->Volume);
    EXPECT_TRUE(Calls().empty());

    AddTrack(L"a.mp3");
    PlayTrack(window);
    size_t before = Calls().size();
    EXPECT_EQ(1, SetMute(0));
    EXPECT_EQ(1, SetMute(-1));
    EXPECT_EQ(1, SetMute(0));
    Lines expected = {"BASS_ChannelSetAttributes(1,0,70,0)=1",
                      "BASS_ChannelSetAttributes(1,0,0,0)=1",
                      "BASS_ChannelSetAttributes(1,0,70,0)=1"};
    EXPECT_EQ(expected, CallsAfter(before));
    EXPECT_EQ(0, PlayerState->Mute);
}
