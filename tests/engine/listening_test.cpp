// Resume and ReplayGain through the real tonquil.exe and the real engine,
// heard in ALSA's capture files: where the sound of a restarted player
// begins, and how loud a track with stated gains comes out in each mode.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <algorithm>
#include <math.h>
#include <mmsystem.h>
#include <stdlib.h>

namespace {

const DWORD Rate = 44100;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, 0, SMTO_BLOCK, 5000, &result);
    return (LRESULT)result;
}

std::string AnsiPath(const std::wstring &path) {
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi, MAX_PATH, NULL, NULL);
    return ansi;
}

// The player in a folder of its own with the engine, the tone plug-in, one
// track and the settings given.
std::wstring PlayerWith(const std::wstring &track, const std::string &bytes,
                        const std::string &settings) {
    std::wstring folder = MakeScratchFolder(L"listening");
    CopyInto(BinFolder() + L"tonquil.exe", folder + L"tonquil.exe");
    CopyEngineInto(folder);
    CopyInto(TestFolder() + L"bass_testtone.dll", folder + L"bass_testtone.dll");
    WriteBytes(folder + track, bytes);
    WriteBytes(folder + L"tonquil.m3u", AnsiPath(folder + track) + "\r\n");
    WriteBytes(folder + L"tonquil.ini", settings);
    return folder;
}

struct PlayerRun {
    HANDLE process;
    HWND window;
};

PlayerRun Start(const std::wstring &folder) {
    PlayerRun run = {StartProcess(folder + L"tonquil.exe", L""), NULL};
    if (run.process)
        run.window = WaitForWindow(L"Tonquil", GetProcessId(run.process), 10000);
    return run;
}

bool Exit(PlayerRun &run) {
    if (run.window)
        Send(run.window, WM_COMMAND, IDM_EXIT);
    bool ended = run.process && WaitForSingleObject(run.process, 10000) == WAIT_OBJECT_0;
    if (run.process && !ended)
        TerminateProcess(run.process, 1);
    if (run.process)
        CloseHandle(run.process);
    return ended;
}

// The first capture of the folder once it holds at least bytes.
std::vector<short> Captured(const std::wstring &captures, size_t bytes) {
    std::string raw;
    bool held = WaitUntil(
        [&] {
            std::vector<std::wstring> files = CaptureFiles(captures);
            raw = files.empty() ? std::string() : ReadBytes(files[0]);
            return raw.size() >= bytes;
        },
        20000);
    return held ? Int16Samples(raw) : std::vector<short>();
}

// Where in source (in frames) the sound of the capture begins: its first
// frame that is not silence, followed by checked frames, matched exactly
// at some frame between from and to. -1 when it is nowhere there.
long SoundStart(const std::vector<short> &got, const std::vector<short> &source, long from, long to,
                size_t checked) {
    size_t at = 0;
    while (at + 1 < got.size() && got[at] == 0 && got[at + 1] == 0)
        at += 2;
    if (got.size() - at < checked * 2)
        return -1;
    for (long frame = from < 0 ? 0 : from; frame <= to; ++frame) {
        size_t first = (size_t)frame * 2;
        if (first + checked * 2 > source.size())
            break;
        if (std::equal(got.begin() + at, got.begin() + at + checked * 2, source.begin() + first))
            return frame;
    }
    return -1;
}

} // namespace

TEST(ListeningThroughThePlayer, ARestartResumesTheTrackWhereItWasLeft) {
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no waveOut device: ALSA_CONFIG_PATH does not name the capture";
    const long At = 12300 * (long)Rate / 1000; // 12.3 s
    const long Slack = (long)Rate / 100;       // 10 ms
    std::vector<short> noise = NoiseSamples(Rate * 20 * 2, 23, 20000);
    const struct {
        const char *name;
        const char *before; // the settings as the second start finds them, or NULL as left
        long begins;        // in frames
    } cases[] = {
        {"resumed", NULL, At},
        {"resume off", "[Client]\r\nResume=0\r\nPosition=12300\r\n", 0},
        {"damaged position", "[Client]\r\nResume=1\r\nPosition=twelve\r\n", 0},
        {"position beyond the track", "[Client]\r\nResume=1\r\nPosition=25000\r\n", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring captures = MakeScratchFolder(L"capture");
        std::wstring folder = PlayerWith(L"noise.wav", PcmWav(2, Rate, noise),
                                         "[Client]\r\nPlayMode=0\r\nResume=1\r\n");
        // Play, pause, move to 12.3 s, exit: the place is kept as it stands.
        PlayerRun first = Start(folder);
        ASSERT_NE(nullptr, first.window);
        EXPECT_EQ(1, Send(first.window, CM_PLAY));
        EXPECT_EQ(1, Send(first.window, CM_PAUSE));
        EXPECT_EQ(1, Send(first.window, CM_SETPOSITION, 12300));
        EXPECT_EQ(12300, Send(first.window, CM_GETPOSITION));
        ASSERT_TRUE(Exit(first));
        EXPECT_EQ("12300", ClientValue(folder + L"tonquil.ini", L"Position"));
        if (c.before) {
            ASSERT_TRUE(WriteBytes(folder + L"tonquil.ini", c.before));
        }

        captures = MakeScratchFolder(L"capture");
        PlayerRun second = Start(folder);
        ASSERT_NE(nullptr, second.window);
        EXPECT_EQ(1, Send(second.window, CM_PLAY));
        std::vector<short> got = Captured(captures, Rate * 4);
        Exit(second);
        ASSERT_FALSE(got.empty()) << "nothing was captured";
        EXPECT_NE(-1, SoundStart(got, noise, c.begins - Slack, c.begins + Slack, 2000));
    }
}

namespace {

#define UNCHANGED 1000.0f

// A tone file of the test plug-in that states ReplayGain values.
std::string GainTone(WORD amplitude, DWORD flags, float trackGain, float trackPeak, float albumGain,
                     float albumPeak) {
    ToneHeader tone = {Rate, 2, Rate, 100, amplitude};
    tone.GainFlags = flags;
    tone.TrackGain = trackGain;
    tone.TrackPeak = trackPeak;
    tone.AlbumGain = albumGain;
    tone.AlbumPeak = albumPeak;
    return ToneFile(tone);
}

const DWORD Track = TQ_GAIN_TRACK | TQ_PEAK_TRACK;
const DWORD Both = Track | TQ_GAIN_ALBUM | TQ_PEAK_ALBUM;

} // namespace

TEST(ListeningThroughThePlayer, ReplayGainSetsTheLevelInEachMode) {
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no waveOut device: ALSA_CONFIG_PATH does not name the capture";
    const struct {
        const char *name;
        const char *settings;
        LONG setWhileRunning; // CM_SETREPLAYGAIN once the library runs, -1: none
        std::string file;
        WORD amplitude;
        float wantDb; // against the untagged level, or UNCHANGED
    } cases[] = {
        {"off", "ReplayGain=0", -1, GainTone(16000, Both, -6, 0.5f, -3, 0.6f), 16000, UNCHANGED},
        {"track", "ReplayGain=1", -1, GainTone(16000, Both, -6, 0.5f, -3, 0.6f), 16000, -6},
        {"album", "ReplayGain=2", -1, GainTone(16000, Both, -6, 0.5f, -3, 0.6f), 16000, -3},
        {"album falls back to the track", "ReplayGain=2", -1,
         GainTone(16000, Track, -4, 0.5f, 0, 0), 16000, -4},
        {"untagged", "ReplayGain=2", -1, GainTone(16000, 0, 0, 0, 0, 0), 16000, UNCHANGED},
        {"set while running", "ReplayGain=0", 1, GainTone(16000, Track, -6, 0.5f, 0, 0), 16000, -6},
        // The stated peak allows 1 / 0.9766, +0.206 dB, of the +12 dB.
        {"a high gain limited by the peak", "ReplayGain=1", -1,
         GainTone(16000, Track, 12, 0.9766f, 0, 0), 16000, 0.206f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring captures = MakeScratchFolder(L"capture");
        std::wstring folder = PlayerWith(
            L"tone.tta", c.file, std::string("[Client]\r\nPlayMode=0\r\n") + c.settings + "\r\n");
        PlayerRun run = Start(folder);
        ASSERT_NE(nullptr, run.window);
        if (c.setWhileRunning >= 0) {
            EXPECT_NE(0, Send(run.window, CM_INITAUDIO));
            EXPECT_EQ(1, Send(run.window, CM_SETREPLAYGAIN, c.setWhileRunning));
        }
        EXPECT_EQ(1, Send(run.window, CM_PLAY));
        std::vector<short> got = Captured(captures, Rate * 4 / 2);
        Exit(run);
        ASSERT_FALSE(got.empty()) << "nothing was captured";
        int loudest = 0;
        for (size_t i = 0; i < got.size(); i += 2)
            loudest = std::max(loudest, abs(got[i]));
        if (c.wantDb == UNCHANGED) {
            EXPECT_EQ(c.amplitude, loudest);
        } else {
            EXPECT_NEAR(c.wantDb, 20 * log10((double)loudest / c.amplitude), 0.05);
        }
    }
}
