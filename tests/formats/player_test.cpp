// The real player with the real engine and the decoder plug-in: tonquil.exe
// plays one track of each kind in order into ALSA's capture, loading the
// plug-in when the engine alone cannot open a track and freeing it when a
// track the engine reads by itself starts; and the player's own window shows
// artist and title of Ogg, FLAC, TTA, M4A and WMA tracks in its balloon.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "player_window.h"
#include "test_support.h"
#include "tonquil_extension.h"
#include "tray/tray_icon.h"

#include <math.h>
#include <mmsystem.h>
#include <tlhelp32.h>

namespace {

struct Kind {
    const char *Extension;
    bool NeedsPlugin;
};

// FreeAddOn is on: .wav, .mp3 and .ogg start with the plug-in freed.
const Kind Kinds[] = {{"ogg", false}, {"flac", true}, {"tta", true}, {"m4a", true},
                      {"wav", false}, {"wma", true},  {"aac", true}, {"mp3", false}};

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

// The tone's frequency from the zero crossings of the first channel of a
// 16-bit stereo capture at 44.1 kHz, over its first second.
double ToneFrequency(const std::wstring &file) {
    std::vector<short> samples = Int16Samples(ReadBytes(file));
    size_t frames = samples.size() / 2 < 44100 ? samples.size() / 2 : 44100;
    int crossings = 0;
    for (size_t i = 1; i < frames; ++i)
        crossings += (samples[2 * i - 2] < 0) != (samples[2 * i] < 0);
    return frames ? crossings / 2.0 * 44100.0 / (double)frames : 0;
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
    // Whether the plug-in is loaded as each track's capture begins.
    std::vector<bool> loaded;
    size_t count = sizeof Kinds / sizeof Kinds[0];
    for (DWORD start = GetTickCount(); loaded.size() < count && GetTickCount() - start < 30000;
         Sleep(2)) {
        size_t seen = CaptureFiles(captures).size();
        while (loaded.size() < seen && loaded.size() < count)
            loaded.push_back(HasModule(id, L"bass_formats.dll"));
    }
    SendMessageTimeoutW(player, WM_COMMAND, IDM_STOP, 0, SMTO_BLOCK, 5000, &result);
    SendMessageTimeoutW(player, WM_COMMAND, IDM_EXIT, 0, SMTO_BLOCK, 5000, &result);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    CloseHandle(process);

    ASSERT_EQ(count, loaded.size());
    std::vector<std::wstring> files = CaptureFiles(captures);
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(Kinds[i].Extension);
        EXPECT_EQ(Kinds[i].NeedsPlugin, loaded[i]);
        double want = atof(Fixture(std::string("tagged-") + Kinds[i].Extension + ".hz").c_str());
        // The tones lie at least 10% apart; encoder delay and silence blur a little.
        EXPECT_NEAR(want, ToneFrequency(files[i]), want * 0.03);
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
                  {L"tagged.wma", L"WMA Artist", L"WMA Title"}};
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
