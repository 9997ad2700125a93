// The real tonquil.exe with the real engine and the test plug-in, in a folder
// of their own, playing a playlist through waveOut into ALSA's file plug-in:
// one capture file per track, each holding exactly the track's sound.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <math.h>
#include <mmsystem.h>
#include <stdlib.h>

namespace {

struct Track {
    std::wstring Name;
    std::string Bytes;
    std::vector<short> Sound; // 16-bit stereo at 44.1 kHz
    int Slack;                // LSBs a decoder may differ by
};

std::vector<Track> Tracks() {
    std::vector<short> noise = NoiseSamples(44100 * 3 / 10 * 2, 21, 32000);
    ToneHeader tone = {44100, 2, 44100 / 5, 100, 20000};
    return {{L"first.wav", PcmWav(2, 44100, noise), noise, 0},
            {L"second.tta", ToneFile(tone), ToneSamples(tone), 0},
            {L"third.mp3", Fixture("tagged.mp3"), Int16Samples(Fixture("tagged.mp3.ref.raw")), 4}};
}

std::string AnsiPath(const std::wstring &path) {
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi, MAX_PATH, NULL, NULL);
    return ansi;
}

bool WaitForCaptures(const std::wstring &folder, size_t count, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (CaptureFiles(folder).size() < count) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

// The captured file holds the sound, then nothing but the silence the device
// played until it was closed.
void ExpectCapture(const std::vector<short> &want, float gain, int slack,
                   const std::wstring &file) {
    std::vector<short> got = Int16Samples(ReadBytes(file));
    ASSERT_GE(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_LE(abs(got[i] - (int)lrintf(want[i] * gain)), slack) << "sample " << i;
    for (size_t i = want.size(); i < got.size(); ++i)
        ASSERT_EQ(0, got[i]) << "after the end, sample " << i;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, 0, SMTO_BLOCK, 5000, &result);
    return (LRESULT)result;
}

} // namespace

TEST(Player, PlaysThePlaylistThroughTheEngineTrackAfterTrack) {
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no waveOut device: ALSA_CONFIG_PATH does not name the capture";
    std::wstring folder = MakeScratchFolder(L"player");
    std::wstring captures = MakeScratchFolder(L"capture");
    ASSERT_TRUE(CopyInto(BinFolder() + L"tonquil.exe", folder + L"tonquil.exe"));
    ASSERT_TRUE(CopyInto(BinFolder() + L"bass.dll", folder + L"bass.dll"));
    ASSERT_TRUE(CopyInto(TestFolder() + L"bass_testtone.dll", folder + L"bass_testtone.dll"));
    std::vector<Track> tracks = Tracks();
    std::string playlist;
    for (const Track &track : tracks) {
        ASSERT_TRUE(WriteBytes(folder + track.Name, track.Bytes));
        playlist += AnsiPath(folder + track.Name) + "\r\n";
    }
    ASSERT_TRUE(WriteBytes(folder + L"tonquil.m3u", playlist));
    ASSERT_TRUE(WriteBytes(folder + L"tonquil.ini", "[Client]\r\nPlayMode=1\r\n"));

    HANDLE process = StartProcess(folder + L"tonquil.exe", L"");
    ASSERT_NE(nullptr, process);
    HWND player = WaitForWindow(L"Tonquil", GetProcessId(process), 10000);
    ASSERT_NE(nullptr, player);

    // Full volume: the three tracks follow each other by themselves, the
    // second through the plug-in the player loads when the engine alone
    // cannot open it; the fourth capture is the list starting over.
    EXPECT_EQ(1, Send(player, CM_PLAY));
    bool wrapped = WaitForCaptures(captures, 4, 20000);
    Send(player, WM_COMMAND, IDM_STOP);
    // Half volume, then muted, each from the first track.
    EXPECT_EQ(1, Send(player, CM_SETVOLUME, 50));
    EXPECT_EQ(1, Send(player, CM_SETTRACKNO, 0));
    EXPECT_EQ(1, Send(player, CM_PLAY));
    bool half = WaitForCaptures(captures, 6, 20000);
    Send(player, WM_COMMAND, IDM_STOP);
    EXPECT_EQ(1, Send(player, CM_SETMUTE, 1));
    EXPECT_EQ(1, Send(player, CM_SETTRACKNO, 0));
    EXPECT_EQ(1, Send(player, CM_PLAY));
    bool muted = WaitForCaptures(captures, 8, 20000);
    Send(player, WM_COMMAND, IDM_EXIT);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    CloseHandle(process);

    ASSERT_TRUE(wrapped && half && muted) << CaptureFiles(captures).size() << " captures";
    std::vector<std::wstring> files = CaptureFiles(captures);
    for (size_t i = 0; i < tracks.size(); ++i) {
        SCOPED_TRACE(Utf8(tracks[i].Name));
        ExpectCapture(tracks[i].Sound, 1.0f, tracks[i].Slack, files[i]);
    }
    ExpectCapture(tracks[0].Sound, 0.5f, 1, files[4]);
    ExpectCapture(tracks[0].Sound, 0.0f, 0, files[6]);
}
