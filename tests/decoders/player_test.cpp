// The real player with the real engine and the decoder plug-in: tonquil.exe
// plays one track of each kind in order into ALSA's capture, loading the
// plug-in when the engine alone cannot open a track and freeing it when a
// track the engine reads by itself starts; and the player's own window shows
// artist and title of Ogg, FLAC, TTA, M4A, WMA, Monkey's Audio, Opus and
// WavPack tracks in its balloon.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "player_window.h"
#include "test_support.h"
#include "tonquil_extension.h"
#include "player/tray/tray_icon.h"

#include <math.h>
#include <stdlib.h>
#include <mmsystem.h>
#include <tlhelp32.h>

namespace {

struct Kind {
    const char *Extension;
    bool NeedsPlugin;
};

// FreeAddOn is on: .wav, .mp1, .mp2, .mp3 and .ogg start with the plug-in
// freed. Neighbours differ in tone by 10% or more; Opus, decoded at 48 kHz,
// plays last, as its capture file sorts after those at 44.1 kHz.
const Kind Kinds[] = {{"ogg", false}, {"flac", true}, {"tta", true},  {"m4a", true},
                      {"wav", false}, {"wma", true},  {"aac", true},  {"mp3", false},
                      {"ape", true},  {"mp2", false}, {"mp1", false}, {"fla", true},
                      {"mp4", true},  {"wv", true},   {"opus", true}};

std::string AnsiPath(const std::wstring &path) {
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi, MAX_PATH, NULL, NULL);
    return ansi;
}

bool HasModule(DWORD process, const wchar_t *name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32W module = {};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found;
         more = Module32NextW(snapshot, &module))
        found = lstrcmpiW(module.szModule, name) == 0;
    CloseHandle(snapshot);
    return found;
}

// The tones heard one after another in 16-bit stereo captures, in the order
// played: each stretch of about the same frequency (from the zero crossings
// of the first channel, in windows of 100 ms) long enough to be a track.
// Tracks of one format follow each other on one device, in one file, named
// capture-<rate>-2-16.raw (then .raw.0000 and so on).
void TonesInCapture(const std::wstring &file, std::vector<double> *tones) {
    std::vector<short> samples = Int16Samples(ReadBytes(file));
    const size_t rate = (size_t)_wtol(file.c_str() + file.rfind(L"capture-") + 8);
    const size_t window = rate / 10;
    double current = 0;
    int windows = 0;
    for (size_t at = 0; at + window <= samples.size() / 2; at += window) {
        int crossings = 0, loud = 0;
        for (size_t i = at + 1; i < at + window; ++i) {
            crossings += (samples[2 * i - 2] < 0) != (samples[2 * i] < 0);
            loud += abs(samples[2 * i]) > 1000;
        }
        double hz = loud > (int)window / 2 ? crossings / 2.0 * (double)rate / (double)window : 0;
        if (hz && current && fabs(hz - current) < current * 0.03) {
            if (++windows == 5)
                tones->push_back(current);
            continue;
        }
        current = hz;
        windows = 1;
    }
}

std::vector<double> TonesHeard(const std::wstring &folder) {
    std::vector<double> tones;
    for (const std::wstring &file : CaptureFiles(folder))
        TonesInCapture(file, &tones);
    return tones;
}

struct BalloonText {
    std::wstring Title, Text;
};
std::vector<BalloonText> Balloons;

BOOL WINAPI RecordBalloon(DWORD message, PNOTIFYICONDATAW data) {
    if (message == NIM_MODIFY && (data->uFlags & NIF_INFO))
        Balloons.push_back({data->szInfoTitle, data->szInfo});
    return TRUE;
}

} // namespace

TEST(FormatsPlayer, PlaysOneTrackOfEachKindInOrderLoadingThePluginAsNeeded) {
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no waveOut device: ALSA_CONFIG_PATH does not name the capture";
    std::wstring folder = MakeScratchFolder(L"player");
    std::wstring captures = MakeScratchFolder(L"capture");
    for (const wchar_t *file : {L"tonquil.exe", L"bass.dll", L"bass_formats.dll"})
        ASSERT_TRUE(CopyInto(BinFolder() + file, folder + file));
    std::string playlist;
    for (const Kind &kind : Kinds) {
        std::string name = std::string("tagged.") + kind.Extension;
        std::wstring path = folder + std::wstring(name.begin(), name.end());
        ASSERT_TRUE(WriteBytes(path, Fixture(name)));
        playlist += AnsiPath(path) + "\r\n";
    }
    ASSERT_TRUE(WriteBytes(folder + L"tonquil.m3u", playlist));
    ASSERT_TRUE(WriteBytes(folder + L"tonquil.ini", "[Client]\r\nPlayMode=1\r\n"));

    HANDLE process = StartProcess(folder + L"tonquil.exe", L"");
    ASSERT_NE(nullptr, process);
    DWORD id = GetProcessId(process);
    HWND player = WaitForWindow(L"Tonquil", id, 10000);
    ASSERT_NE(nullptr, player);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(player, CM_PLAY, 0, 0, SMTO_BLOCK, 5000, &result);
    // Whether the plug-in is loaded while each track plays: the middle one of
    // the looks taken while the player names that track, well clear of the
    // moments its play routine loads or frees the plug-in.
    size_t count = sizeof Kinds / sizeof Kinds[0];
    std::vector<std::vector<bool>> looks(count);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(2)) {
        DWORD_PTR track = 0;
        SendMessageTimeoutW(player, CM_GETTRACKNO, 0, 0, SMTO_BLOCK, 5000, &track);
        if (track < count)
            looks[track].push_back(HasModule(id, L"bass_formats.dll"));
        // The list wraps to its first track after the last one.
        if (track == 0 && !looks[count - 1].empty())
            break;
    }
    SendMessageTimeoutW(player, WM_COMMAND, IDM_STOP, 0, SMTO_BLOCK, 5000, &result);
    SendMessageTimeoutW(player, WM_COMMAND, IDM_EXIT, 0, SMTO_BLOCK, 5000, &result);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    CloseHandle(process);

    std::vector<double> tones = TonesHeard(captures);
    ASSERT_GE(tones.size(), count);
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(Kinds[i].Extension);
        ASSERT_FALSE(looks[i].empty());
        EXPECT_EQ(Kinds[i].NeedsPlugin, looks[i][looks[i].size() / 2]);
        double want = atof(Fixture(std::string("tagged-") + Kinds[i].Extension + ".hz").c_str());
        // The tones lie at least 10% apart; encoder delay and silence blur a little.
        EXPECT_NEAR(want, tones[i], want * 0.03);
    }
}

TEST(FormatsPlayer, BalloonNamesArtistAndTitleFromTheFilesOwnTags) {
    struct Tagged {
        const wchar_t *Name;
        const wchar_t *Artist;
        const wchar_t *Title;
    } tagged[] = {{L"tagged.ogg", L"Ogg Artist", L"Ogg Title \x00FC"},
                  {L"tagged.flac", L"Flac Artist", L"Flac Title"},
                  {L"tagged.tta", L"TTA Artist", L"TTA Title"},
                  {L"tagged.m4a", L"M4A Artist", L"M4A Title"},
                  {L"tagged.wma", L"WMA Artist", L"WMA Title"},
                  {L"tagged.ape", L"APE Artist", L"APE Title"},
                  {L"tagged.opus", L"OPUS Artist", L"OPUS Title"},
                  {L"tagged.wv", L"WV Artist", L"WV Title"}};
    for (const Tagged &track : tagged) {
        SCOPED_TRACE(Utf8(track.Name));
        std::wstring path = MakeScratchFolder(L"balloon") + track.Name;
        ASSERT_TRUE(WriteBytes(path, Fixture(Utf8(track.Name))));
        ASSERT_TRUE(
            WriteBytes(TestFolder() + L"tonquil.ini", "[Client]\r\nShowInfo=2\r\nTrackNo=0\r\n"));
        ASSERT_TRUE(WriteBytes(TestFolder() + L"tonquil.m3u", AnsiPath(path) + "\r\n"));
        Balloons.clear();
        NotifyIconCall = RecordBalloon;
        HWND window = StartPlayerWindow();
        ASSERT_NE(nullptr, window);
        SendMessageW(window, WM_COMMAND, IDM_PLAY, 0);
        PumpMessages();
        ClosePlayerWindow(window);
        NotifyIconCall = Shell_NotifyIconW;
        ASSERT_EQ(1u, Balloons.size());
        EXPECT_EQ(track.Artist, Balloons[0].Title);
        EXPECT_EQ(track.Title, Balloons[0].Text);
    }
}
