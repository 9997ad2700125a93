// The real tonquil.exe with the real engine and the test plug-in, in a folder
// of their own, playing a playlist through waveOut into ALSA's file plug-in:
// the tracks' sounds following each other on the one device they share, and
// a capture file for each time the device opens.
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

// Every play's capture, one after another: a play finds the device still
// open when it comes within a second of the last one, and a new one after.
std::vector<short> Captured(const std::wstring &folder) {
    std::vector<short> all;
    for (const std::wstring &file : CaptureFiles(folder)) {
        std::vector<short> samples = Int16Samples(ReadBytes(file));
        all.insert(all.end(), samples.begin(), samples.end());
    }
    return all;
}

bool SoundAt(const std::vector<short> &got, size_t at, const Track &track, float gain) {
    if (got.size() - at < track.Sound.size())
        return false;
    for (size_t i = 0; i < track.Sound.size(); ++i)
        if (abs(got[at + i] - (int)lrintf(track.Sound[i] * gain)) > track.Slack)
            return false;
    return true;
}

// Finds the track's sound at or after *at and moves *at past it. With
// silenceBefore, only silence may come before it (the device waiting for a
// late stream: this capture does not run in real time).
bool FindNext(const std::vector<short> &got, const Track &track, float gain, size_t *at,
              bool silenceBefore) {
    for (size_t start = *at; start + track.Sound.size() <= got.size(); start += 2) {
        if (SoundAt(got, start, track, gain)) {
            *at = start + track.Sound.size();
            return true;
        }
        if (silenceBefore && (got[start] || got[start + 1]))
            return false;
    }
    return false;
}

// The whole list in order, then its first track again; *at past them.
bool ListThenFirst(const std::vector<short> &got, const std::vector<Track> &tracks, size_t *at) {
    *at = 0;
    for (const Track &track : tracks)
        if (!FindNext(got, track, 1.0f, at, true))
            return false;
    return FindNext(got, tracks[0], 1.0f, at, true);
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
    ASSERT_TRUE(CopyEngineInto(folder));
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
    // cannot open it, and then the list starts over. From then on each play
    // is of one track, which ends by itself.
    EXPECT_EQ(1, Send(player, CM_PLAY));
    size_t at = 0;
    bool wrapped = WaitUntil([&] { return ListThenFirst(Captured(captures), tracks, &at); }, 20000);
    EXPECT_EQ(1, Send(player, CM_SETPLAYMODE, 0));
    Send(player, WM_COMMAND, IDM_STOP);
    // Half volume, then muted, each from the first track. The stop may have
    // let the start of the next track through first.
    EXPECT_EQ(1, Send(player, CM_SETVOLUME, 50));
    EXPECT_EQ(1, Send(player, CM_SETTRACKNO, 0));
    EXPECT_EQ(1, Send(player, CM_PLAY));
    size_t half = at;
    bool halfHeard = WaitUntil(
        [&] {
            half = at;
            return FindNext(Captured(captures), tracks[0], 0.5f, &half, false);
        },
        20000);
    size_t before = Captured(captures).size();
    EXPECT_EQ(1, Send(player, CM_SETMUTE, 1));
    EXPECT_EQ(1, Send(player, CM_SETTRACKNO, 0));
    EXPECT_EQ(1, Send(player, CM_PLAY));
    // The muted track's length of silence, beside a buffer of it that each
    // play's end adds.
    size_t padding = 2 * (44100 / 40 + 1) * 2;
    bool muted = WaitUntil(
        [&] { return Captured(captures).size() >= before + tracks[0].Sound.size() + padding; },
        20000);
    Send(player, WM_COMMAND, IDM_EXIT);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    CloseHandle(process);

    EXPECT_TRUE(wrapped) << "the list and its first track again are not in the capture";
    EXPECT_TRUE(halfHeard) << "the first track at half volume is not in the capture";
    EXPECT_TRUE(muted) << "the muted play wrote nothing";
    std::vector<short> got = Captured(captures);
    size_t loud = half;
    while (loud < got.size() && got[loud] == 0)
        ++loud;
    EXPECT_EQ(got.size(), loud) << "sound after the muted play began, at sample " << loud;
}
