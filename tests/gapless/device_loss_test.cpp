// The real player with the real engine while its sound device goes away: the
// private PulseAudio of with-pulse.sh stops in the middle of a track and
// starts again, or is not there at all when the player starts.
#include <gtest/gtest.h>

#include "pulse_capture.h"
#include "running_player.h"
#include "test_support.h"
#include "tonquil_audio_library.h"
#include "tonquil_extension.h"

#include <mmsystem.h>
#include <stdlib.h>

#include <functional>

namespace {

#define WM_TRAYNOTIFY 0x8001
#define TRAY_ICON_ID 256
#define LONG_TRACK_MS 6000

class DeviceLoss : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!getenv("TONQUIL_CAPTURE"))
            GTEST_SKIP() << "run through tests/gapless/with-pulse.sh";
    }
    // A player left by a failed check would hold the test's output open; later
    // tests of the run play into the server again.
    void TearDown() override {
        if (player.process)
            CloseAndWait(player);
        if (getenv("TONQUIL_CAPTURE")) {
            EXPECT_TRUE(AskPulse("start"));
        }
    }

    void Start(const std::vector<std::string> &files) {
        std::wstring folder = PlayerFolder(L"player");
        CopyEngineInto(folder);
        std::string playlist;
        for (const std::string &file : files) {
            CopyInto(Pieces() + Wide(file), folder + Wide(file));
            playlist += file + "\r\n";
        }
        WriteBytes(folder + L"tonquil.m3u", playlist);
        WriteBytes(folder + L"tonquil.ini", "[Client]\r\nPlayMode=1\r\n");
        player = StartPlayer(folder);
        entries = (LRESULT)files.size();
    }

    // Waits up to ms for condition, asking the player all the while: each
    // round trip (a control message, then a tray mouse move) must come back
    // within a second, and the list must keep every entry.
    bool WatchUntil(DWORD ms, const std::function<bool()> &condition) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50)) {
            DWORD asked = GetTickCount();
            DWORD_PTR result = 0;
            bool answered = SendMessageTimeoutW(player.window, CM_GETTRACKNO, 0, 0, SMTO_BLOCK,
                                                1000, &result) &&
                            SendMessageTimeoutW(player.window, WM_TRAYNOTIFY, TRAY_ICON_ID,
                                                WM_MOUSEMOVE, SMTO_BLOCK, 1000, &result);
            DWORD took = GetTickCount() - asked;
            EXPECT_TRUE(answered && took <= 1000) << "a round trip took " << took << " ms";
            EXPECT_NE(0, Ask(player.window, CM_GETTRACKENTRY, entries - 1)) << "an entry is gone";
            EXPECT_EQ(0, Ask(player.window, CM_GETTRACKENTRY, entries));
            if (condition())
                return true;
        }
        return false;
    }

    RunningPlayer player = {};
    LRESULT entries = 0;
};

// Where the track begins in what the sink played since from (in bytes).
size_t HeardSince(size_t from, const std::string &file) {
    std::vector<short> got = Samples(ReadBytes(CaptureFile()).substr(from));
    return FindSound(got, 0, Reference(file), 0);
}

LONG EndSyncs;

void CALLBACK CountEnd(HSYNC, DWORD, DWORD, DWORD) {
    InterlockedIncrement(&EndSyncs);
}

} // namespace

// The engine alone: the stream of a device that has gone stops without its
// end sync, within the engine's watch; a new stream sounds once the server is
// back.
TEST_F(DeviceLoss, TheEngineStopsTheStreamOfALostDeviceWithoutItsEndSync) {
    ASSERT_GT(waveOutGetNumDevs(), 0u) << "Wine found no PulseAudio device";
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, NULL, NULL));
    std::wstring file = Pieces() + L"long.wav";
    HSTREAM stream = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_UNICODE);
    ASSERT_NE(0u, stream);
    ASSERT_NE(0u, BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, CountEnd, 0));
    size_t from = CapturedBytes();
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    ASSERT_TRUE(WaitUntil([&] { return CapturedBytes() >= from + CAPTURE_RATE * 2; }, 10000))
        << "no sound came";
    ASSERT_TRUE(AskPulse("stop"));
    WaitUntil([&] { return BASS_ChannelIsActive(stream) != BASS_ACTIVE_PLAYING; }, LONG_TRACK_MS);
    EXPECT_EQ((DWORD)BASS_ACTIVE_STOPPED, BASS_ChannelIsActive(stream));
    EXPECT_EQ(0, EndSyncs);

    ASSERT_TRUE(AskPulse("start"));
    from = CapturedBytes();
    std::wstring piece = Pieces() + L"piece-1.wav";
    HSTREAM again = BASS_StreamCreateFile(FALSE, piece.c_str(), 0, 0, BASS_UNICODE);
    ASSERT_TRUE(BASS_ChannelPlay(again, FALSE));
    WaitUntil([&] { return HeardSince(from, "piece-1.wav") != std::string::npos; }, 10000);
    EXPECT_NE(std::string::npos, HeardSince(from, "piece-1.wav"));
    BASS_Free();
}

TEST_F(DeviceLoss, TheServerGoesAwayMidTrackAndAPlayAfterItsReturnSounds) {
    ASSERT_GT(waveOutGetNumDevs(), 0u) << "Wine found no PulseAudio device";
    Start({"long.wav", "piece-1.wav", "piece-2.wav"});
    ASSERT_NE(nullptr, player.window);
    size_t from = CapturedBytes();
    DWORD started = GetTickCount();
    ASSERT_EQ(1, Ask(player.window, CM_PLAY));
    // Half a second of it in the capture, then the server goes.
    ASSERT_TRUE(WatchUntil(10000, [&] { return CapturedBytes() >= from + CAPTURE_RATE * 2; }));
    ASSERT_TRUE(AskPulse("stop"));

    // Past the track's end and the engine's watch: the track stopped, and the
    // player did not go on to the next one.
    DWORD until = LONG_TRACK_MS + 3000;
    WatchUntil(until, [&] { return GetTickCount() - started >= until; });
    EXPECT_EQ(0, Ask(player.window, CM_GETTRACKNO));

    ASSERT_TRUE(AskPulse("start"));
    from = CapturedBytes();
    ASSERT_EQ(1, Ask(player.window, CM_SETTRACKNO, 1));
    ASSERT_EQ(1, Ask(player.window, CM_PLAY));
    EXPECT_TRUE(WatchUntil(15000, [&] {
        return HeardSince(from, "piece-1.wav") != std::string::npos;
    })) << "the play after the server came back is not in the capture";
    EXPECT_EQ(0, CloseAndWait(player));
}

// No device: the tracks play on the engine's silent clock, one after another,
// and none is taken for unplayable.
TEST_F(DeviceLoss, WithNoServerAtStartThePlayerPlaysOnAndRemovesNothing) {
    ASSERT_TRUE(AskPulse("stop"));
    Start({"piece-1.wav", "piece-2.wav", "piece-3.wav"});
    ASSERT_NE(nullptr, player.window);
    ASSERT_EQ(1, Ask(player.window, CM_PLAY));
    EXPECT_TRUE(WatchUntil(15000, [&] { return Ask(player.window, CM_GETTRACKNO) == 2; }));
    EXPECT_EQ(0, CloseAndWait(player));
}
