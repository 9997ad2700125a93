// The position, resume and ReplayGain messages, sent to the real main window
// with the recording audio library: what each answers, what reaches the
// library, and that no refused value moves, stops or skips anything.
#include "player_fixture.h"

#include "test_support.h"
#include "tonquil_audio_library.h"
#include "tonquil_extension.h"

#include <climits>

namespace {

// The double's output: 44.1 kHz, stereo, 16-bit.
const QWORD BytesPerSecond = 44100 * 4;

std::string WithLength(QWORD bytes) {
    return "LENGTH=" + std::to_string(bytes);
}

size_t Count(const std::vector<std::string> &log, const char *prefix) {
    return LogLinesStarting(log, prefix).size();
}

} // namespace

using PositionMessages = PlayerTest;

TEST_F(PositionMessages, LengthPositionAndSeekingFollowTheCurrentTrack) {
    // Ten seconds and a little, so the end is no whole millisecond.
    WriteTracks({{L"a.mp3", WithLength(10 * BytesPerSecond + 40)}, {L"b.mp3", "no length"}});
    ASSERT_NE(nullptr, Open());
    const DWORD stream = 1; // the double's first
    enum Action { NONE, PLAY, PAUSE, STOP, NEXT, MOVE_TO_1230 };
    const struct Step {
        Action before;
        UINT message;
        WPARAM value;
        LRESULT result;
        LONG positionAfter;      // CM_GETPOSITION then; -1: not asked
        const char *libraryCall; // the seek the library is asked for, or NULL
    } steps[] = {
        // Nothing open: nothing to tell and nothing to move; no library call.
        {NONE, CM_GETLENGTH, 0, 0, 0, NULL},
        {NONE, CM_SETPOSITION, 0, 0, 0, NULL},
        {NONE, CM_SETPOSITION, 1000, 0, 0, NULL},
        {PLAY, CM_GETLENGTH, 0, 10000, 0, NULL},
        {NONE, CM_SETPOSITION, 2500, 1, 2500, "BASS_ChannelSetPosition(1,441000)=1"},
        {NONE, CM_SETPOSITION, 1, 1, 1, "BASS_ChannelSetPosition(1,176)=1"},
        {NONE, CM_SETPOSITION, 10000, 1, 10000, "BASS_ChannelSetPosition(1,1764000)=1"},
        {NONE, CM_SETPOSITION, 10001, 0, 10000, NULL},
        {NONE, CM_SETPOSITION, 0x7FFFFFFF, 0, 10000, NULL},
        {NONE, CM_SETPOSITION, (WPARAM)-1, 0, 10000, NULL},
        {NONE, CM_SETPOSITION, (WPARAM)INT_MIN, 0, 10000, NULL},
        {NONE, CM_SETPOSITION, 0, 1, 0, "BASS_ChannelSetPosition(1,0)=1"},
        {MOVE_TO_1230, CM_GETPOSITION, 0, 1230, -1, NULL},
        // Paused, the track moves and stays paused.
        {PAUSE, CM_SETPOSITION, 4000, 1, 4000, "BASS_ChannelSetPosition(1,705600)=1"},
        {STOP, CM_GETLENGTH, 0, 0, 0, NULL},
        {NONE, CM_SETPOSITION, 4000, 0, 0, NULL},
        // A track that cannot tell its length cannot be moved.
        {NEXT, CM_GETLENGTH, 0, 0, 0, NULL},
        {NONE, CM_SETPOSITION, 100, 0, 0, NULL},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(std::to_string(&step - steps));
        switch (step.before) {
        case PLAY:
            ASSERT_EQ(1, Send(CM_PLAY));
            break;
        case PAUSE:
            ASSERT_EQ(1, Send(CM_PAUSE));
            break;
        case STOP:
            ASSERT_EQ(1, Send(CM_STOP));
            break;
        case NEXT:
            ASSERT_EQ(1, Send(CM_PLAYNEXT));
            break;
        case MOVE_TO_1230:
            ASSERT_EQ(1, MoveDoubleStream(stream, BytesPerSecond * 123 / 100));
            break;
        case NONE:
            break;
        }
        size_t before = BassLog().size();
        EXPECT_EQ(step.result, Send(step.message, step.value));
        std::vector<std::string> log = BassLog();
        std::vector<std::string> calls(log.begin() + before, log.end());
        std::vector<std::string> seeks = LogLinesStarting(calls, "BASS_ChannelSetPosition(");
        if (step.libraryCall) {
            EXPECT_EQ(std::vector<std::string>{step.libraryCall}, seeks);
        } else if (step.message == CM_SETPOSITION && step.result == 0) {
            EXPECT_TRUE(seeks.empty());
        }
        if (step.positionAfter >= 0) {
            EXPECT_EQ(step.positionAfter, Send(CM_GETPOSITION));
        }
    }
    std::vector<std::string> log = BassLog();
    // The pause held through the seek; no refusal opened, stopped or skipped a track.
    EXPECT_EQ(1u, Count(log, "BASS_ChannelPause(1)=1"));
    EXPECT_EQ(2u, Count(log, "BASS_StreamCreateFile("));
    EXPECT_EQ(2, CountTracks());
}

TEST_F(PositionMessages, TheEngineIsToldTheGainModeAtEveryInitAndAtEveryChange) {
    const std::string config = "BASS_SetConfig(0x54510001,";
    const struct {
        UINT message;
        WPARAM value;
        const char *told; // what the library is told, or NULL for nothing
    } steps[] = {
        {CM_INITAUDIO, 0, NULL}, // a library just loaded has the gain off
        {CM_SETREPLAYGAIN, 2, "2)=1"},
        {CM_SETREPLAYGAIN, 5, NULL},
        {CM_INITAUDIO, 0, "2)=1"},
        {CM_SETREPLAYGAIN, 1, "1)=1"},
        {CM_SETREPLAYGAIN, 0, "0)=1"},
        {CM_INITAUDIO, 0, NULL},
        {CM_SETREPLAYGAIN, (WPARAM)-1, NULL},
    };
    ASSERT_NE(nullptr, Open());
    for (const auto &step : steps) {
        size_t before = BassLog().size();
        Send(step.message, step.value);
        std::vector<std::string> log = BassLog();
        std::vector<std::string> told =
            LogLinesStarting(std::vector<std::string>(log.begin() + before, log.end()), config);
        SCOPED_TRACE(std::to_string(step.message) + " " + std::to_string(step.value));
        if (step.told) {
            EXPECT_EQ(std::vector<std::string>{config + step.told}, told);
        } else {
            EXPECT_TRUE(told.empty());
        }
    }
}

TEST_F(PositionMessages, AModeSetBeforeTheLibraryLoadsIsHandedOverWhenItIsInitialised) {
    WriteSetting(L"ReplayGain", L"2");
    WriteTracks({{L"a.mp3", WithLength(BytesPerSecond)}});
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(2, Send(CM_GETREPLAYGAIN));
    EXPECT_EQ(1, Send(CM_SETREPLAYGAIN, 1)); // no library yet: stored only
    EXPECT_EQ(0u, Count(BassLog(), "BASS_"));
    EXPECT_EQ(1, Send(CM_PLAY));
    std::vector<std::string> log = BassLog();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ("load", log[0]);
    EXPECT_EQ(0u, log[1].find("BASS_Init("));
    EXPECT_EQ("BASS_SetConfig(0x54510001,1)=1", log[2]);
}
