// The real tonquil.exe with the real engine and the test plug-in, in a folder
// of their own, playing a playlist through waveOut into ALSA's file plug-in:
// one capture file per play, the tracks' sounds following each other in it
// on the one device they share.
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

// Waits until the play's capture (the index-th file) holds bytes.
bool WaitForCapture(const std::wstring &folder, size_t index, size_t bytes, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<std::wstring> files = CaptureFiles(folder);
        if (files.size() > index && ReadBytes(files[index]).size() >= bytes)
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
}

bool SoundAt(const std::vector<short> &got, size_t at, const Track &track, float gain) {
    if (got.size() - at < track.Sound.size())
        return false;
    for (size_t i = 0; i < track.Sound.size(); ++i)
        if (abs(got[at + i] - (int)lrintf(track.Sound[i] * gain)) > track.Slack)
            return false;
    return true;
}

// From at on, the capture holds nothing but silence (the device waiting for
// a late stream: this capture does not run in real time), then the track's
// sound; at moves past it.
void ExpectNext(const std::vector<short> &got, const Track &track, float gain, size_t *at) {
    size_t start = *at;
    while (start + 1 < got.size() && !SoundAt(got, start, track, gain)) {
        ASSERT_TRUE(got[start] == 0 && got[start + 1] == 0) << "frame " << start / 2;
        start += 2;
    }
    ASSERT_TRUE(SoundAt(got, start, track, gain)) << "the capture ends first";
    *at = start + track.Sound.size();
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
    size_t listBytes = 0;
    for (const Track &track : tracks) {
        listBytes += track.Sound.size() * 2;
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
    // cannot open it, and then the list starts over. A stop that lands in a
    // track's queued tail leaves the device to close after a second of
    // silence, so each stop is given that second: every play has a capture
    // of its own.
    size_t firstBytes = tracks[0].Sound.size() * 2;
    EXPECT_EQ(1, Send(player, CM_PLAY));
    bool wrapped = WaitForCapture(captures, 0, listBytes + firstBytes, 20000);
    Send(player, WM_COMMAND, IDM_STOP);
    Sleep(1200);
    // Half volume, then muted, each from the first track.
    EXPECT_EQ(1, Send(player, CM_SETVOLUME, 50));
    EXPECT_EQ(1, Send(player, CM_SETTRACKNO, 0));
    EXPECT_EQ(1, Send(player, CM_PLAY));
    bool half = WaitForCapture(captures, 1, firstBytes, 20000);
    Send(player, WM_COMMAND, IDM_STOP);
    Sleep(1200);
    EXPECT_EQ(1, Send(player, CM_SETMUTE, 1));
    EXPECT_EQ(1, Send(player, CM_SETTRACKNO, 0));
    EXPECT_EQ(1, Send(player, CM_PLAY));
    bool muted = WaitForCapture(captures, 2, firstBytes, 20000);
    Send(player, WM_COMMAND, IDM_EXIT);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    CloseHandle(process);

    ASSERT_TRUE(wrapped && half && muted) << CaptureFiles(captures).size() << " captures";
    std::vector<std::wstring> files = CaptureFiles(captures);
    std::vector<short> got = Int16Samples(ReadBytes(files[0]));
    size_t at = 0;
    for (const Track &track : tracks) {
        SCOPED_TRACE(Utf8(track.Name));
        ExpectNext(got, track, 1.0f, &at);
    }
    ExpectNext(got, tracks[0], 1.0f, &at);
    at = 0;
    ExpectNext(Int16Samples(ReadBytes(files[1])), tracks[0], 0.5f, &at);
    at = 0;
    ExpectNext(Int16Samples(ReadBytes(files[2])), tracks[0], 0.0f, &at);
}
