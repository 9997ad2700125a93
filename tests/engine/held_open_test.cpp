// Opening a stream while the engine goes on: the test plug-in holds an open
// on a thread of its own while a stream plays, other calls come and the
// plug-in or the engine is freed; the open then ends as the engine now is.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "test_support.h"

#include <functional>
#include <thread>

namespace {

const DWORD LIMIT_MS = 10000;
const WCHAR *PLUGIN_NAME = L"bass_testtone.dll";
const DWORD RATE = 8000;
const DWORD FRAME_BYTES = 4; // 16-bit stereo
const ToneHeader Playing = {RATE, 2, RATE * 60, 40, 12000};
const ToneHeader Quick = {RATE, 2, 2000, 40, 12000};

ToneHeader HeldTone() {
    ToneHeader tone = {RATE, 2, 4000, 40, 12000};
    tone.Options = TONE_HOLD_OPEN;
    return tone;
}

HSTREAM OpenBytes(const std::string &bytes, DWORD flags = 0) {
    return BASS_StreamCreateFile(TRUE, bytes.data(), 0, (DWORD)bytes.size(), flags);
}

// An open of a held tone on a thread of its own.
struct HeldOpen {
    std::string File;
    HANDLE Opening;
    HANDLE Release;
    std::thread Thread;
    HSTREAM Stream;
};

// Lets the open go, waits for its thread and closes the events.
void EndHeldOpen(HeldOpen *open) {
    SetEvent(open->Release);
    if (open->Thread.joinable())
        open->Thread.join();
    CloseHandle(open->Opening);
    CloseHandle(open->Release);
}

// True once the plug-in's open has begun and waits. When it never begins,
// the open is ended here, so that a failed start leaves no thread behind to
// end the test program when the record goes.
bool StartHeldOpen(HeldOpen *open) {
    open->File = ToneFile(HeldTone());
    open->Opening = CreateEventW(NULL, TRUE, FALSE, TONE_OPENING_EVENT);
    open->Release = CreateEventW(NULL, TRUE, FALSE, TONE_RELEASE_EVENT);
    open->Stream = 0;
    open->Thread = std::thread([open] { open->Stream = OpenBytes(open->File); });
    if (WaitForSingleObject(open->Opening, LIMIT_MS) == WAIT_OBJECT_0)
        return true;
    EndHeldOpen(open);
    return false;
}

// Makes calls on a thread of its own while the open is held, then lets the
// open go and waits for both. True when the calls were done before the open
// was let go: a call that waits for the open fails the test, not hangs it.
bool CallsAnswerWhileHeld(HeldOpen *open, const std::function<void()> &calls) {
    HANDLE done = CreateEventW(NULL, TRUE, FALSE, NULL);
    std::thread caller([&] {
        calls();
        SetEvent(done);
    });
    bool answered = WaitForSingleObject(done, 2 * LIMIT_MS) == WAIT_OBJECT_0;
    // Let go, the open ends, and so does a call that waited for it.
    EndHeldOpen(open);
    caller.join();
    CloseHandle(done);
    return answered;
}

// Polls until the stream has been heard at position or later; the last
// position read.
QWORD WaitForPosition(HSTREAM stream, QWORD position) {
    QWORD heard = 0;
    WaitUntil(
        [&] {
            heard = BASS_ChannelGetPosition(stream);
            return heard >= position;
        },
        LIMIT_MS);
    return heard;
}

class HeldOpens : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
        Plugin = BASS_PluginLoad((const char *)(TestFolder() + PLUGIN_NAME).c_str(), BASS_UNICODE);
        ASSERT_NE(0u, Plugin);
    }
    void TearDown() override {
        BASS_PluginFree(Plugin);
        BASS_Free();
        EXPECT_EQ(nullptr, GetModuleHandleW(PLUGIN_NAME));
    }
    HPLUGIN Plugin = 0;
};

} // namespace

TEST_F(HeldOpens, PlaybackAndOtherCallsGoOnWhileAnOpenIsHeld) {
    std::string playingFile = ToneFile(Playing), quickFile = ToneFile(Quick);
    HSTREAM playing = OpenBytes(playingFile);
    ASSERT_TRUE(BASS_ChannelPlay(playing, FALSE));
    ASSERT_TRUE(WaitUntilHeard(playing));
    HeldOpen held;
    ASSERT_TRUE(StartHeldOpen(&held));

    QWORD from = 0, reached = 0;
    DWORD active = 0;
    HSTREAM other = 0;
    bool answered = CallsAnswerWhileHeld(&held, [&] {
        from = BASS_ChannelGetPosition(playing);
        // A second is ten times what the device holds queued: only a stream
        // that is fed meanwhile gets there.
        reached = WaitForPosition(playing, from + RATE * FRAME_BYTES);
        active = BASS_ChannelIsActive(playing);
        other = OpenBytes(quickFile);
    });

    EXPECT_TRUE(answered) << "the calls waited for the held open";
    EXPECT_GE(reached, from + RATE * FRAME_BYTES);
    EXPECT_EQ((DWORD)BASS_ACTIVE_PLAYING, active);
    ASSERT_NE(0u, other);
    EXPECT_EQ((QWORD)Quick.Frames * FRAME_BYTES, BASS_ChannelGetLength(other));
    // Let go, the held open gives its stream as any other.
    ASSERT_NE(0u, held.Stream);
    EXPECT_EQ((QWORD)HeldTone().Frames * FRAME_BYTES, BASS_ChannelGetLength(held.Stream));
    EXPECT_TRUE(BASS_ChannelPlay(held.Stream, FALSE));
    EXPECT_TRUE(WaitUntilHeard(held.Stream));
}

// What is freed while an open is held, and what the open gives then.
struct FreedMeanwhile {
    const char *Description;
    bool FreePlugin;
    bool FreeEngine;
    bool InitAgain;
    bool Opens; // the held open gives a stream
};

const FreedMeanwhile Frees[] = {
    {"the plug-in freed: the open begun before finishes", true, false, false, true},
    {"the engine freed: the open is discarded", false, true, false, false},
    {"the engine freed and started again: still discarded", false, true, true, false},
    {"both freed: discarded, and the DLL unloads after it", true, true, false, false},
};

TEST_F(HeldOpens, AnOpenEndsAsTheEngineIsWhenItIsLetGo) {
    std::string quickFile = ToneFile(Quick);
    for (const FreedMeanwhile &row : Frees) {
        SCOPED_TRACE(row.Description);
        HeldOpen held;
        ASSERT_TRUE(StartHeldOpen(&held));
        BOOL pluginFreed = FALSE, engineFreed = FALSE, initialised = FALSE;
        HSTREAM refused = 1;
        bool mapped = false;
        bool answered = CallsAnswerWhileHeld(&held, [&] {
            if (row.FreePlugin) {
                pluginFreed = BASS_PluginFree(Plugin);
                refused = OpenBytes(quickFile);
            }
            if (row.FreeEngine)
                engineFreed = BASS_Free();
            if (row.InitAgain)
                initialised = BASS_Init(0, 44100, 0, NULL, NULL);
            // The open still runs the plug-in's code.
            mapped = GetModuleHandleW(PLUGIN_NAME) != NULL;
        });

        EXPECT_TRUE(answered) << "the calls waited for the held open";
        EXPECT_TRUE(mapped);
        EXPECT_EQ(row.FreePlugin, pluginFreed != FALSE);
        EXPECT_EQ(row.FreePlugin ? 0u : 1u, refused);
        EXPECT_EQ(row.FreeEngine, engineFreed != FALSE);
        EXPECT_EQ(row.InitAgain, initialised != FALSE);
        EXPECT_EQ(row.Opens, held.Stream != 0);
        bool keptByStream = held.Stream != 0;
        EXPECT_EQ(!row.FreePlugin || keptByStream, GetModuleHandleW(PLUGIN_NAME) != NULL);
        if (keptByStream) {
            EXPECT_EQ((QWORD)HeldTone().Frames * FRAME_BYTES, BASS_ChannelGetLength(held.Stream));
        }
        // The next row starts from a fresh engine and plug-in.
        BASS_PluginFree(Plugin);
        BASS_Free();
        EXPECT_EQ(nullptr, GetModuleHandleW(PLUGIN_NAME));
        SetUp();
    }
}
