// The calls on the silent clock (BASS_Init with device 0), as a
// machine without a sound card runs them: timing of the end, pause, stop,
// tags, syncs and the rules for their arguments.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "test_support.h"

namespace {

struct EndRecord {
    HANDLE Fired;
    LONG Count;
    DWORD Thread;
    DWORD Channel;
    DWORD User;
    DWORD At;
    DWORD ActiveAtSync;
};

EndRecord Ends;

void CALLBACK RecordEnd(HSYNC, DWORD channel, DWORD, DWORD user) {
    InterlockedIncrement(&Ends.Count);
    Ends.Thread = GetCurrentThreadId();
    Ends.Channel = channel;
    Ends.User = user;
    Ends.At = GetTickCount();
    Ends.ActiveAtSync = BASS_ChannelIsActive(channel);
    SetEvent(Ends.Fired);
}

class SilentEngine : public testing::Test {
  protected:
    void SetUp() override {
        Ends = EndRecord();
        Ends.Fired = CreateEventW(NULL, TRUE, FALSE, NULL);
        ASSERT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
    }
    void TearDown() override {
        BASS_Free();
        CloseHandle(Ends.Fired);
    }
    // A stream of ms milliseconds of 16-bit stereo noise at 44.1 kHz, from memory.
    HSTREAM Open(DWORD ms, DWORD flags = BASS_STREAM_AUTOFREE) {
        Wav = PcmWav(2, 44100, NoiseSamples(44100 * ms / 1000 * 2, ms, 10000));
        return BASS_StreamCreateFile(TRUE, Wav.data(), 0, (DWORD)Wav.size(), flags);
    }
    HSYNC ArmEnd(HSTREAM stream, DWORD user = 7) {
        return BASS_ChannelSetSync(stream, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, RecordEnd, user);
    }
    std::string Wav;
};

} // namespace

TEST_F(SilentEngine, SecondInitFailsAndLeavesTheEngineAsItWas) {
    HSTREAM stream = Open(100);
    ASSERT_NE(0u, stream);
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, NULL, NULL));
    EXPECT_FALSE(BASS_Init(0, 44100, 0, NULL, NULL));
    ArmEnd(stream);
    EXPECT_TRUE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Ends.Fired, 3000));
    EXPECT_TRUE(BASS_Free());
    EXPECT_FALSE(BASS_Free());
    EXPECT_EQ(0u, BASS_StreamCreateFile(TRUE, Wav.data(), 0, (DWORD)Wav.size(), 0));
    EXPECT_FALSE(BASS_Init(12345, 44100, 0, NULL, NULL)); // no such device
    EXPECT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
}

TEST_F(SilentEngine, EndSyncFiresOnceOnTheEngineThreadAheadOfTheTailThenTheStreamEnds) {
    HSTREAM stream = Open(300);
    ASSERT_NE(0u, stream);
    ArmEnd(stream, 42);
    DWORD start = GetTickCount();
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_EQ(BASS_ACTIVE_PLAYING, BASS_ChannelIsActive(stream));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Ends.Fired, 3000));
    // Played in real time, not decoded as fast as it goes; the sync comes
    // when the last frame is queued, at most the queue's 100 ms early.
    EXPECT_GE(Ends.At - start, 180u);
    EXPECT_EQ(BASS_ACTIVE_PLAYING, Ends.ActiveAtSync);
    EXPECT_NE(GetCurrentThreadId(), Ends.Thread);
    EXPECT_EQ(stream, Ends.Channel);
    EXPECT_EQ(42u, Ends.User);
    ASSERT_TRUE(WaitUntilStopped(stream, 2000));
    DWORD heard = GetTickCount() - start;
    EXPECT_GE(heard, 280u);
    EXPECT_LT(heard, 2000u);
    // An auto-free stream is gone once it has ended: no other end can come.
    EXPECT_FALSE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_EQ(1, Ends.Count);
}

// Paused as soon as it starts: whatever the machine's load, the pause lands
// long before the stream could have drained.
TEST_F(SilentEngine, PauseHoldsThePositionAndPlayResumesFromIt) {
    HSTREAM stream = Open(1000);
    ArmEnd(stream);
    DWORD start = GetTickCount();
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    ASSERT_TRUE(BASS_ChannelPause(stream));
    DWORD played = GetTickCount() - start; // at most this much before the pause
    EXPECT_FALSE(BASS_ChannelPause(stream));
    EXPECT_EQ(BASS_ACTIVE_PAUSED, BASS_ChannelIsActive(stream));
    // Held past the time the whole stream would have taken.
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(Ends.Fired, 1200));
    DWORD resumed = GetTickCount();
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_EQ(BASS_ACTIVE_PLAYING, BASS_ChannelIsActive(stream));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Ends.Fired, 5000));
    ASSERT_TRUE(WaitUntilStopped(stream, 3000));
    // What was left after the pause still plays out in full.
    EXPECT_GE(GetTickCount() - resumed + played, 1000u - 30);
    EXPECT_EQ(1, Ends.Count);
}

TEST_F(SilentEngine, StopFreesAnAutoFreeStreamAndKeepsAnyOther) {
    HSTREAM freed = Open(500);
    ArmEnd(freed);
    ASSERT_TRUE(BASS_ChannelPlay(freed, FALSE));
    EXPECT_TRUE(BASS_ChannelStop(freed));
    EXPECT_EQ(0u, BASS_ChannelIsActive(freed));
    EXPECT_FALSE(BASS_ChannelStop(freed));
    EXPECT_FALSE(BASS_ChannelPlay(freed, FALSE));
    EXPECT_FALSE(BASS_ChannelSetAttributes(freed, 0, 50, 0));

    HSTREAM kept = Open(200, 0);
    ArmEnd(kept);
    ASSERT_TRUE(BASS_ChannelPlay(kept, FALSE));
    EXPECT_TRUE(BASS_ChannelStop(kept));
    EXPECT_EQ(BASS_ACTIVE_STOPPED, BASS_ChannelIsActive(kept));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(Ends.Fired, 300));
    EXPECT_TRUE(BASS_ChannelPlay(kept, FALSE));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Ends.Fired, 3000));
    // Without auto-free an ended stream stays, stopped, and plays again from the start.
    EXPECT_TRUE(WaitUntilStopped(kept, 2000));
    ResetEvent(Ends.Fired);
    ArmEnd(kept);
    DWORD start = GetTickCount();
    EXPECT_TRUE(BASS_ChannelPlay(kept, FALSE));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Ends.Fired, 3000));
    ASSERT_TRUE(WaitUntilStopped(kept, 2000));
    EXPECT_GE(GetTickCount() - start, 180u);
}

TEST_F(SilentEngine, RemovedSyncsStaySilentAndLastingSyncsFireEachEnd) {
    HSTREAM stream = Open(50, 0);
    HSYNC once = ArmEnd(stream);
    ASSERT_NE(0u, once);
    EXPECT_TRUE(BASS_ChannelRemoveSync(stream, once));
    EXPECT_FALSE(BASS_ChannelRemoveSync(stream, once));
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(Ends.Fired, 300));

    HSYNC lasting = BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, RecordEnd, 1);
    ASSERT_NE(0u, lasting);
    for (LONG round = 1; round <= 2; ++round) {
        ResetEvent(Ends.Fired);
        ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Ends.Fired, 3000));
        EXPECT_EQ(round, Ends.Count);
    }
    EXPECT_EQ(0u, BASS_ChannelSetSync(stream, 1 /* a position sync */, 0, RecordEnd, 0));
    EXPECT_EQ(0u, BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, NULL, 0));
    EXPECT_EQ(0u, BASS_ChannelSetSync(stream + 1000, BASS_SYNC_END, 0, RecordEnd, 0));
}

TEST_F(SilentEngine, AttributesTakeOnlyValuesInRange) {
    HSTREAM stream = Open(50);
    EXPECT_TRUE(BASS_ChannelSetAttributes(stream, 0, 0, 0));
    EXPECT_TRUE(BASS_ChannelSetAttributes(stream, -1, 100, -101));
    EXPECT_TRUE(BASS_ChannelSetAttributes(stream, 22050, -1, -100));
    EXPECT_FALSE(BASS_ChannelSetAttributes(stream, 0, 101, 0));
    EXPECT_FALSE(BASS_ChannelSetAttributes(stream, 0, -2, 0));
    EXPECT_FALSE(BASS_ChannelSetAttributes(stream, 0, 50, 101));
    EXPECT_FALSE(BASS_ChannelSetAttributes(stream, 5, 50, 0));
}

TEST_F(SilentEngine, AnEndSyncMayCallTheEngineAgainEvenToFreeIt) {
    static HSTREAM Next;
    static HANDLE Done;
    Done = CreateEventW(NULL, TRUE, FALSE, NULL);
    struct Chain {
        static void CALLBACK PlayNext(HSYNC, DWORD channel, DWORD, DWORD) {
            BASS_ChannelStop(channel);
            BASS_ChannelPlay(Next, FALSE);
        }
        static void CALLBACK FreeAll(HSYNC, DWORD, DWORD, DWORD) {
            BASS_Free();
            SetEvent(Done);
        }
    };
    HSTREAM first = Open(50);
    std::string second = Wav;
    Next =
        BASS_StreamCreateFile(TRUE, second.data(), 0, (DWORD)second.size(), BASS_STREAM_AUTOFREE);
    BASS_ChannelSetSync(first, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, Chain::PlayNext, 0);
    BASS_ChannelSetSync(Next, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, Chain::FreeAll, 0);
    ASSERT_TRUE(BASS_ChannelPlay(first, FALSE));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Done, 3000));
    CloseHandle(Done);
    EXPECT_EQ(0u, BASS_ChannelIsActive(Next));
    // Freed from its own thread, the engine starts again as new.
    EXPECT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
}

TEST_F(SilentEngine, CallsFromManyThreadsAtOnceKeepTheEngineWhole) {
    struct Worker {
        static DWORD WINAPI Run(void *wav) {
            const std::string &bytes = *(const std::string *)wav;
            for (int i = 0; i < 40; ++i) {
                HSTREAM stream = BASS_StreamCreateFile(TRUE, bytes.data(), 0, (DWORD)bytes.size(),
                                                       i % 2 ? BASS_STREAM_AUTOFREE : 0);
                BASS_ChannelSetSync(stream, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, RecordEnd, 0);
                BASS_ChannelPlay(stream, FALSE);
                BASS_ChannelSetAttributes(stream, 0, i, 0);
                BASS_ChannelPause(stream);
                BASS_ChannelPlay(stream, FALSE);
                if (i % 3)
                    BASS_ChannelStop(stream);
            }
            return 0;
        }
    };
    Open(5);
    HANDLE threads[4];
    for (HANDLE &thread : threads)
        thread = CreateThread(NULL, 0, Worker::Run, &Wav, 0, NULL);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(4, threads, TRUE, 20000));
    for (HANDLE thread : threads)
        CloseHandle(thread);
    // The five-millisecond streams that were left to play end by themselves.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Ends.Fired, 10000));
    EXPECT_GT(Ends.Count, 0);
}

TEST_F(SilentEngine, OpensFilesByUnicodeOrAnsiNameAndWindowsOfThem) {
    std::vector<short> samples = NoiseSamples(200, 3, 1000);
    std::string wav = PcmWav(1, 8000, samples);
    std::wstring path = MakeScratchFolder(L"names") + L"\u00e9t\u00e9.wav";
    ASSERT_TRUE(WriteBytes(path, wav));
    HSTREAM wide = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_UNICODE);
    EXPECT_NE(0u, wide);
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi, MAX_PATH, NULL, NULL);
    EXPECT_NE(0u, BASS_StreamCreateFile(FALSE, ansi, 0, 0, 0));
    // The same file behind 10 bytes of something else, given by offset and length.
    std::string padded = "0123456789" + wav + "tail";
    std::wstring paddedPath = path + L".padded";
    ASSERT_TRUE(WriteBytes(paddedPath, padded));
    EXPECT_NE(
        0u, BASS_StreamCreateFile(FALSE, paddedPath.c_str(), 10, (DWORD)wav.size(), BASS_UNICODE));
    EXPECT_NE(0u, BASS_StreamCreateFile(TRUE, padded.data(), 10, (DWORD)wav.size(), 0));
    EXPECT_EQ(0u, BASS_StreamCreateFile(FALSE, paddedPath.c_str(), 0, 0, BASS_UNICODE));
    EXPECT_EQ(0u, BASS_StreamCreateFile(FALSE, paddedPath.c_str(), 10, 1u << 30, BASS_UNICODE));
    EXPECT_EQ(0u, BASS_StreamCreateFile(FALSE, (path + L".missing").c_str(), 0, 0, BASS_UNICODE));
    EXPECT_EQ(0u, BASS_StreamCreateFile(FALSE, NULL, 0, 0, BASS_UNICODE));
}
