// The real player with the real engine and the decoder plug-in: tonquil.exe
// plays one track of each kind in order into ALSA's capture, loading the
// plug-in when the engine alone cannot open a track and freeing it when a
// track the engine reads by itself starts; and the player's own window shows
// artist and title of Ogg, FLAC, TTA, M4A, WMA, Monkey's Audio, Opus and
// WavPack tracks in its balloon, and the whole title and artist of an MP3
// from each tagger the ID3 reader's tests use.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "expected_texts.h"
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

// Plays the file as the one entry of the list in the player's own window,
// set to show artist and title, and gives the balloons it asked the shell for.
std::vector<BalloonText> BalloonsPlaying(const std::wstring &path) {
    EXPECT_TRUE(
        WriteBytes(TestFolder() + L"tonquil.ini", "[Client]\r\nShowInfo=2\r\nTrackNo=0\r\n"));
    EXPECT_TRUE(WriteBytes(TestFolder() + L"tonquil.m3u", AnsiPath(path) + "\r\n"));
    Balloons.clear();
    NotifyIconCall = RecordBalloon;
    HWND window = StartPlayerWindow();
    EXPECT_NE(nullptr, window);
    if (window) {
        SendMessageW(window, WM_COMMAND, IDM_PLAY, 0);
        PumpMessages();
        ClosePlayerWindow(window);
    }
    NotifyIconCall = Shell_NotifyIconW;
    return Balloons;
}

} // namespace

TEST(FormatsPlayer, PlaysOneTrackOfEachKindInOrderLoadingThePluginAsNeeded) {
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no waveOut device: ALSA_CONFIG_PATH does not name the capture";
    std::wstring folder = MakeScratchFolder(L"player");
    std::wstring captures = MakeScratchFolder(L"capture");
    for (const wchar_t *file :
         {L"tonquil.exe", L"bass.dll", L"tonquil_media.dll", L"bass_formats.dll"})
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
        std::vector<BalloonText> balloons = BalloonsPlaying(path);
        ASSERT_EQ(1u, balloons.size());
        EXPECT_EQ(track.Artist, balloons[0].Title);
        EXPECT_EQ(track.Title, balloons[0].Text);
    }
}

// The taggers' files are the ID3 reader's (tests/sdk/id3/make-files.sh); the
// texts expected are Mutagen's reading of them.
TEST(FormatsPlayer, BalloonShowsTheWholeTitleAndArtistThatEachTaggerWrote) {
    std::vector<EXPECTEDTEXTS> files = TaggerFiles();
    ASSERT_FALSE(files.empty());
    for (const EXPECTEDTEXTS &file : files) {
        SCOPED_TRACE(Utf8(file.Path));
        ASSERT_TRUE(HoldsLongTitleAndWideArtist(file));
        std::vector<BalloonText> balloons = BalloonsPlaying(file.Path);
        ASSERT_EQ(1u, balloons.size());
        EXPECT_EQ(*file.Artist, balloons[0].Title);
        EXPECT_EQ(*file.Title, balloons[0].Text);
    }
}

namespace {

enum Change { REWRITE_TAGS, REPLACE_BY_LONGER, DELETE_FILE, CUT_SHORT };

// What a tagger does to the file: its tags rewritten in place at the same
// size, the file replaced by a longer one, removed, or (a save gone wrong)
// cut to half its size in place. Gives the system's error, or 0 when the
// change is done.
DWORD ChangeFile(Change change, const std::wstring &track, const std::string &original) {
    if (change == DELETE_FILE)
        return DeleteFileW(track.c_str()) ? 0 : GetLastError();
    if (change == REPLACE_BY_LONGER) {
        // MoveFileExW replaces no file that another program holds open,
        // whatever that program shares (Windows without POSIX renames, and
        // Wine): a tagger moves the playing file aside first, which the
        // player's sharing allows, then moves the new file in.
        std::wstring longer = track + L".new", aside = track + L".old";
        if (!WriteBytes(longer, Fixture("changing-5.flac")))
            return ERROR_WRITE_FAULT;
        if (!MoveFileExW(track.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING) ||
            !MoveFileExW(longer.c_str(), track.c_str(), MOVEFILE_REPLACE_EXISTING) ||
            !DeleteFileW(aside.c_str()))
            return GetLastError();
        return ReadBytes(track).size() > original.size() ? 0 : ERROR_INVALID_DATA;
    }
    const std::string from = "Changing Artist", to = "Retagged Artist";
    size_t at = change == CUT_SHORT ? original.size() / 2 : original.find(from);
    if (at == std::string::npos)
        return ERROR_INVALID_DATA;
    HANDLE file = CreateFileW(track.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    bool moved = SetFilePointer(file, (LONG)at, NULL, FILE_BEGIN) == at;
    DWORD written = 0;
    bool done = moved && (change == CUT_SHORT
                              ? SetEndOfFile(file)
                              : WriteFile(file, to.data(), (DWORD)to.size(), &written, NULL) &&
                                    written == to.size());
    DWORD error = done ? 0 : GetLastError();
    CloseHandle(file);
    std::string now = ReadBytes(track);
    bool changed = change == CUT_SHORT ? now.size() == at
                                       : now.size() == original.size() && now.find(to) == at;
    return error ? error : changed ? 0 : ERROR_INVALID_DATA;
}

DWORD_PTR Ask(HWND player, UINT message) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(player, message, 0, 0, SMTO_BLOCK, 5000, &answer);
    return answer;
}

// Polls the player until it plays track (past its start, for the first);
// *furthest becomes the furthest the track before it was seen to play.
bool WaitForTrack(HWND player, DWORD_PTR track, DWORD_PTR *furthest) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(2)) {
        DWORD_PTR now = Ask(player, CM_GETTRACKNO), position = Ask(player, CM_GETPOSITION);
        if (now == track && (track != 0 || position > 0))
            return true;
        if (now + 1 == track && position > *furthest)
            *furthest = position;
    }
    return false;
}

} // namespace

// A tagger changes a FLAC while the player plays it: every change succeeds,
// the track plays on to the end of what it had or ends cleanly where the file
// now ends, the next track follows and the player closes with 0.
TEST(FormatsPlayer, ATrackChangedWhilePlayingPlaysOnOrEndsAndTheNextFollows) {
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no waveOut device: ALSA_CONFIG_PATH does not name the capture";
    struct Case {
        const char *name;
        Change change;
        bool playsToEnd; // else it ends where the file now ends
    } cases[] = {
        {"tags rewritten in place", REWRITE_TAGS, true},
        {"replaced by a longer file", REPLACE_BY_LONGER, true},
        {"deleted", DELETE_FILE, true},
        {"cut short", CUT_SHORT, false},
    };
    const std::string original = Fixture("changing-3.flac");
    MakeScratchFolder(L"capture");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring folder = MakeScratchFolder(L"changing");
        for (const wchar_t *file :
             {L"tonquil.exe", L"bass.dll", L"tonquil_media.dll", L"bass_formats.dll"})
            ASSERT_TRUE(CopyInto(BinFolder() + file, folder + file));
        std::wstring track = folder + L"changing.flac", next = folder + L"next.ogg";
        ASSERT_TRUE(WriteBytes(track, original));
        ASSERT_TRUE(WriteBytes(next, Fixture("tagged.ogg")));
        ASSERT_TRUE(WriteBytes(folder + L"tonquil.m3u",
                               AnsiPath(track) + "\r\n" + AnsiPath(next) + "\r\n"));
        ASSERT_TRUE(WriteBytes(folder + L"tonquil.ini", "[Client]\r\nPlayMode=1\r\n"));

        HANDLE process = StartProcess(folder + L"tonquil.exe", L"");
        ASSERT_NE(nullptr, process);
        HWND player = WaitForWindow(L"Tonquil", GetProcessId(process), 10000);
        ASSERT_NE(nullptr, player);
        Ask(player, CM_PLAY);
        DWORD_PTR furthest = 0;
        ASSERT_TRUE(WaitForTrack(player, 0, &furthest));
        DWORD_PTR length = Ask(player, CM_GETLENGTH);
        EXPECT_NEAR(3000.0, (double)length, 50.0);

        EXPECT_EQ(0u, ChangeFile(c.change, track, original));
        furthest = Ask(player, CM_GETPOSITION);
        ASSERT_TRUE(WaitForTrack(player, 1, &furthest));
        // What the player had open plays on to its end; a file cut in half
        // ends about halfway, at the last frame it still holds. The output
        // runs faster than real time here, so the polls see it near the end.
        double expected = c.playsToEnd ? (double)length : length / 2.0;
        EXPECT_NEAR(expected, (double)furthest, 400.0);

        DWORD_PTR answer = 0;
        SendMessageTimeoutW(player, WM_COMMAND, IDM_EXIT, 0, SMTO_BLOCK, 5000, &answer);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
        DWORD code = 1;
        EXPECT_TRUE(GetExitCodeProcess(process, &code));
        EXPECT_EQ(0u, code);
        CloseHandle(process);
    }
}
