// Title, artist and length in the list: read from the files' tags and the
// audio library's length on the module's own thread, shown when they come,
// while the window keeps answering; and a reader that is gone by unload.
#include "module_window.h"

#include "extension/list/track_info_reader.h"
#include "player_window.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <commctrl.h>
#include <string.h>

namespace {

std::string Id3v1(const std::string &title, const std::string &artist) {
    std::string tag(128, '\0');
    memcpy(&tag[0], "TAG", 3);
    memcpy(&tag[3], title.data(), title.size());
    memcpy(&tag[33], artist.data(), artist.size());
    return tag;
}

std::string Syncsafe(size_t size) {
    return {char(size >> 21 & 0x7F), char(size >> 14 & 0x7F), char(size >> 7 & 0x7F),
            char(size & 0x7F)};
}

// An ID3v2.4 tag with UTF-8 text frames.
std::string Id3v2(const std::string &title, const std::string &artist) {
    std::string frames;
    for (const auto &frame : {std::make_pair("TIT2", title), std::make_pair("TPE1", artist)})
        frames += frame.first + Syncsafe(frame.second.size() + 1) + std::string(2, '\0') + "\x03" +
                  frame.second;
    return std::string("ID3\x04\x00\x00", 6) + Syncsafe(frames.size()) + frames;
}

struct TrackFile {
    const wchar_t *name;
    std::string content, id3v1, id3v2, lengthMs;
    std::wstring title, artist, length;
};

// The reader's own routine, and a stand-in that holds each read until the
// test lets it go (or a second has passed, as a slow disk would).
TRACKINFOREADPROC RealRead;
HANDLE Release;
volatile LONG ReadsInHand;
volatile LONG ReadsFinished;

void WINAPI HeldRead(HMODULE audio, const WCHAR *path, TRACK_INFO_RESULT *result) {
    InterlockedIncrement(&ReadsInHand);
    WaitForSingleObject(Release, 1000);
    RealRead(audio, path, result);
    InterlockedIncrement(&ReadsFinished);
    InterlockedDecrement(&ReadsInHand);
}

class TrackInfoWindow : public ModuleWindow {
  protected:
    void TearDown() override {
        if (Release)
            SetEvent(Release);
        ModuleWindow::TearDown();
        if (Release)
            CloseHandle(Release);
        Release = NULL;
    }
    // Starts the player and shows the window with its reads held back. The
    // player loads the module at the show; the test maps it first to set
    // the hook, and lets its own reference go after.
    void ShowHeld() {
        player = StartPlayerWindow();
        ASSERT_NE(nullptr, player);
        HMODULE module = LoadLibraryW((TestFolder() + L"tonquil.dll").c_str());
        ASSERT_NE(nullptr, module);
        TRACKINFOREADPROC *hook =
            (TRACKINFOREADPROC *)(void *)GetProcAddress(module, "TrackInfoReadCall");
        ASSERT_NE(nullptr, hook);
        RealRead = *hook;
        Release = CreateEventW(NULL, TRUE, FALSE, NULL);
        ReadsInHand = ReadsFinished = 0;
        *hook = HeldRead;
        SendMessageW(player, WM_COMMAND, IDM_SHOWWINDOW, 0);
        FreeLibrary(module);
    }
    std::vector<std::wstring> MakeTitledTracks(int count) {
        std::vector<std::wstring> tracks = MakeTracks(count);
        for (int i = 0; i < count; ++i)
            WriteBytes(tracks[i] + L".id3v1", Id3v1("Title " + std::to_string(i + 1), "Someone"));
        return tracks;
    }
};

} // namespace

TEST_F(TrackInfoWindow, TitlesArtistsAndLengthsComeFromTheFilesAndNamesStandInForTheRest) {
    const TrackFile files[] = {
        {L"v1.mp3", "audio", Id3v1("Morning Tide", "Aurora Lane"), "", "296000", L"Morning Tide",
         L"Aurora Lane", L"4:56"},
        {L"v2.mp3", "audio", "",
         Id3v2("\xE5\xA4\x9C\xE6\xB1\xBD\xE8\xBB\x8A",
               "\xE5\xB1\xB1\xE7\x94\xB0\xE8\x8A\xB1\xE5\xAD\x90"),
         "3723000", L"\u591C\u6C7D\u8ECA", L"\u5C71\u7530\u82B1\u5B50", L"1:02:03"},
        {L"both.mp3", "audio", Id3v1("Short", "First"), Id3v2("Longer title", "Second"), "61500",
         L"Longer title", L"Second", L"1:01"},
        {L"untagged.mp3", "audio", "", "", "5000", L"untagged.mp3", L"", L"0:05"},
        {L"no length.mp3", "audio", Id3v1("Only a title", ""), "", "", L"Only a title", L"", L""},
        {L"zero length.mp3", "audio", "", "", "0", L"zero length.mp3", L"", L""},
        {L"refused.mp3", "REFUSE", Id3v1("Never read", "Nobody"), "", "1000", L"refused.mp3", L"",
         L""},
        {L"blank tag.mp3", "audio", Id3v1("   ", "  "), "", "abc", L"blank tag.mp3", L"", L""},
    };
    std::vector<std::wstring> paths;
    for (const TrackFile &file : files) {
        paths.push_back(music + file.name);
        WriteBytes(paths.back(), file.content);
        const std::pair<const wchar_t *, std::string> sides[] = {
            {L".id3v1", file.id3v1}, {L".id3v2", file.id3v2}, {L".length", file.lengthMs}};
        for (const auto &side : sides)
            if (!side.second.empty())
                WriteBytes(paths.back() + side.first, side.second);
    }
    WritePlaylist(paths);
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    ASSERT_EQ((int)paths.size(), RowCount(list));

    for (size_t row = 0; row < sizeof files / sizeof files[0]; ++row) {
        const TrackFile &file = files[row];
        EXPECT_TRUE(PumpUntil([&] {
            return RowText(list, (int)row, 1) == file.title &&
                   RowText(list, (int)row, 3) == file.artist &&
                   RowText(list, (int)row, 4) == file.length;
        })) << Utf8(file.name)
            << ": " << Utf8(RowText(list, (int)row, 1)) << " / " << Utf8(RowText(list, (int)row, 3))
            << " / " << Utf8(RowText(list, (int)row, 4));
    }
    // The reads only looked: nothing plays.
    EXPECT_TRUE(OpenedPaths().empty());
    std::vector<std::string> log = ReadLog(TestFolder(), L"bass-calls.log");
    EXPECT_EQ(0u, LogLinesStarting(log, "BASS_ChannelPlay(").size());
}

TEST_F(TrackInfoWindow, TheWindowAnswersWhileTheRowsAreReadAndFillsThemAfter) {
    std::vector<std::wstring> tracks = MakeTitledTracks(60);
    WritePlaylist(tracks);
    ShowHeld();
    HWND window = FindModuleWindow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    ASSERT_TRUE(PumpUntil([] { return ReadsInHand == 1; }));

    // A file in hand holds nobody up: rows show their names, keys work,
    // the list scrolls and plays.
    EXPECT_EQ(L"track01.mp3", RowText(list, 0, 1));
    SetFocus(list);
    SelectRows(list, {0});
    PostMessageW(list, WM_KEYDOWN, VK_END, 1);
    EXPECT_TRUE(PumpUntil(
        [&] { return SendMessageW(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED) == 59; }, 2000));
    EXPECT_EQ(L"track60.mp3", RowText(list, 59, 1));
    DoubleClickRow(list, 59);
    PumpMessages();
    EXPECT_EQ(59, PlayerTrackNo(player));
    EXPECT_EQ(1, ReadsInHand);
    EXPECT_EQ(0, ReadsFinished);

    SetEvent(Release);
    for (int row : {59, 58, 40, 0})
        EXPECT_TRUE(PumpUntil([&] {
            return RowText(list, row, 1) == L"Title " + std::to_wstring(row + 1) &&
                   RowText(list, row, 3) == L"Someone";
        })) << row;
}

TEST_F(TrackInfoWindow, UnloadWaitsForTheFileInHandAndLeavesNoThreadBehind) {
    WritePlaylist(MakeTitledTracks(20));
    ShowHeld();
    ASSERT_TRUE(PumpUntil([] { return ReadsInHand == 1; }));

    ClosePlayerWindow(player);
    // The read in hand ran to its end before the module went; no other began.
    EXPECT_EQ(nullptr, GetModuleHandleW(L"tonquil.dll"));
    EXPECT_EQ(0, ReadsInHand);
    EXPECT_EQ(1, ReadsFinished);
}
