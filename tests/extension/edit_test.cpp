// Changing the playlist from the window: Delete, dropped files and saving
// the list back to tonquil.m3u.
#include "module_window.h"

#include "player_window.h"
#include "running_player.h"
#include "player/playlist/playlist.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <commctrl.h>

TEST_F(ModuleWindow, DeleteRemovesTheSelectedRowsAndKeepsTheCurrentTrack) {
    std::vector<std::wstring> tracks = MakeTracks(7);
    WritePlaylist(tracks);
    WriteBytes(TestFolder() + L"tonquil.ini", "[Client]\r\nTrackNo=4\r\n");
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);

    SelectRows(list, {1, 2, 5});
    PressKey(list, VK_DELETE);
    EXPECT_EQ((std::vector<std::wstring>{tracks[0], tracks[3], tracks[4], tracks[6]}),
              PlayerEntries(player));
    // The current entry is the same file, now two rows up.
    EXPECT_EQ(2, PlayerTrackNo(player));
    EXPECT_EQ(4, RowCount(list));
    EXPECT_EQ(std::vector<int>{2}, MarkedRows(list));
    EXPECT_EQ(L"3 曲を削除しました。", StatusText(window, 0));
    // The row after the first removed one is selected, ready for the next Delete.
    EXPECT_EQ(1, SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
    EXPECT_EQ(1, SendMessageW(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED));

    // Removing the current entry leaves TrackNo on the one that followed it.
    SelectRows(list, {2});
    SendMessageW(Control(window, IDC_REMOVE), BM_CLICK, 0, 0);
    EXPECT_EQ((std::vector<std::wstring>{tracks[0], tracks[3], tracks[6]}), PlayerEntries(player));
    EXPECT_EQ(2, PlayerTrackNo(player));
}

TEST_F(ModuleWindow, DeleteAfterTheListChangedBehindTheViewRemovesNothing) {
    std::vector<std::wstring> tracks = MakeTracks(4);
    WritePlaylist(tracks);
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    SelectRows(list, {2});
    ASSERT_EQ(1, SendMessageW(player, CM_REMOVETRACK, 0, 0));

    PressKey(list, VK_DELETE);
    EXPECT_EQ((std::vector<std::wstring>{tracks[1], tracks[2], tracks[3]}), PlayerEntries(player));
    EXPECT_EQ(3, RowCount(list));
    EXPECT_TRUE(Contains(StatusText(window, 0), L"もう一度選んでください"));
}

TEST_F(ModuleWindow, DroppedFilesGoInThroughThePlayerAndRefusalsAreNamed) {
    std::vector<std::wstring> tracks = MakeTracks(3);
    WritePlaylist(tracks);
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    std::wstring good = music + L"dropped.mp3";
    std::wstring text = music + L"notes.txt";
    std::wstring folder = music + L"album";
    std::wstring longPath = music + std::wstring(1000 - music.size() - 4, L'x') + L".mp3";
    WriteBytes(good, "audio");
    WriteBytes(text, "not audio");
    CreateDirectoryW(folder.c_str(), NULL);

    POINT outside = {0, 0};
    SendMessageW(window, WM_DROPFILES, (WPARAM)MakeDrop({folder, good, text, longPath}, outside),
                 0);
    std::vector<std::wstring> expected = tracks;
    expected.push_back(good);
    EXPECT_EQ(expected, PlayerEntries(player));
    EXPECT_EQ(4, RowCount(Control(window, IDC_LIST)));
    std::wstring status = StatusText(window, 0);
    EXPECT_TRUE(Contains(status, L"1 曲を追加しました。")) << Utf8(status);
    EXPECT_TRUE(Contains(status, L"3 件は追加できません: album (フォルダーは追加できません)"))
        << Utf8(status);
}

TEST_F(ModuleWindow, FilesDroppedOnARowGoBeforeItAndTheCurrentTrackStays) {
    std::vector<std::wstring> tracks = MakeTracks(4);
    WritePlaylist(tracks);
    WriteBytes(TestFolder() + L"tonquil.ini", "[Client]\r\nTrackNo=2\r\n");
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    std::wstring first = music + L"new1.mp3", second = music + L"new2.mp3";
    WriteBytes(first, "audio");
    WriteBytes(second, "audio");

    RECT row = {};
    row.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, 1, (LPARAM)&row);
    POINT point = {row.left + 10, (row.top + row.bottom) / 2};
    MapWindowPoints(list, window, &point, 1);
    SendMessageW(window, WM_DROPFILES, (WPARAM)MakeDrop({first, second}, point), 0);

    EXPECT_EQ(
        (std::vector<std::wstring>{tracks[0], first, second, tracks[1], tracks[2], tracks[3]}),
        PlayerEntries(player));
    EXPECT_EQ(4, PlayerTrackNo(player));
    EXPECT_EQ(std::vector<int>{4}, MarkedRows(list));
}

TEST_F(ModuleWindow, SaveWritesTheListInPlaceAndKeepsTheOldFileAsBackup) {
    std::vector<std::wstring> tracks = MakeTracks(3);
    WritePlaylist(tracks);
    std::string before = ReadBytes(TestFolder() + L"tonquil.m3u");
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    SelectRows(Control(window, IDC_LIST), {1});
    PressKey(Control(window, IDC_LIST), VK_DELETE);

    SendMessageW(Control(window, IDC_SAVE), BM_CLICK, 0, 0);
    EXPECT_EQ(AnsiBytes(tracks[0]) + "\r\n" + AnsiBytes(tracks[2]) + "\r\n",
              ReadBytes(TestFolder() + L"tonquil.m3u"));
    EXPECT_EQ(before, ReadBytes(TestFolder() + L"tonquil.m3u.bak"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW((TestFolder() + L"tonquil.m3u.tmp").c_str()));
    EXPECT_EQ(L"2 曲を tonquil.m3u に保存しました (ANSI)。", StatusText(window, 0));

    // What was saved is what the player reads at its next start.
    ClosePlayerWindow(player);
    player = StartPlayerWindow();
    ASSERT_NE(nullptr, player);
    EnsurePlaylistLoaded();
    EXPECT_EQ((std::vector<std::wstring>{tracks[0], tracks[2]}), PlayerEntries(player));
}

// A character the ANSI code page has no place for, and one it would only
// approximate by a look-alike (best fit) if it were let.
static std::wstring UnmappableName() {
    return GetACP() == 1252 ? L"\x0101ria.mp3" : L"\x0E01\x0E02.mp3";
}

TEST_F(ModuleWindow, APathTheCodePageCannotHoldIsSavedInUtf8WithTheMark) {
    if (GetACP() == CP_UTF8)
        GTEST_SKIP() << "every path fits a UTF-8 code page";
    std::vector<std::wstring> tracks = MakeTracks(2);
    WritePlaylist(tracks);
    std::string before = ReadBytes(TestFolder() + L"tonquil.m3u");
    std::wstring odd = music + UnmappableName();
    ASSERT_TRUE(WriteBytes(odd, "audio"));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(1, SendMessageW(player, CM_INSERTTRACK, 1, (LPARAM)odd.c_str()));

    SendMessageW(Control(window, IDC_SAVE), BM_CLICK, 0, 0);
    EXPECT_EQ("\xEF\xBB\xBF" + Utf8(tracks[0] + L"\r\n" + odd + L"\r\n" + tracks[1] + L"\r\n"),
              ReadBytes(TestFolder() + L"tonquil.m3u"));
    EXPECT_EQ(before, ReadBytes(TestFolder() + L"tonquil.m3u.bak"));
    EXPECT_EQ(L"3 曲を tonquil.m3u に保存しました (UTF-8)。", StatusText(window, 0));

    // Without it the list fits the code page again, and is written in it.
    PumpFor(700); // the view catches up with the insertion
    SelectRows(Control(window, IDC_LIST), {1});
    PressKey(Control(window, IDC_LIST), VK_DELETE);
    SendMessageW(Control(window, IDC_SAVE), BM_CLICK, 0, 0);
    EXPECT_EQ(before, ReadBytes(TestFolder() + L"tonquil.m3u"));
    EXPECT_EQ(L"2 曲を tonquil.m3u に保存しました (ANSI)。", StatusText(window, 0));
}

// Entries the player could not open are missing from its list but still in
// the file: a save asks before it loses them, and No keeps the file and its
// backup. Rows the user removed are meant to go and are not asked about.
TEST_F(ModuleWindow, ASaveThatWouldDropEntriesStillInTheFileAsksFirst) {
    std::vector<std::wstring> tracks = MakeTracks(4);
    WritePlaylist(tracks);
    DeletePath(tracks[2]);
    std::string before = ReadBytes(TestFolder() + L"tonquil.m3u");
    ASSERT_TRUE(WriteBytes(TestFolder() + L"tonquil.m3u.bak", "an older list\r\n"));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(3, RowCount(Control(window, IDC_LIST)));
    void **hook = ModuleHook("MessageBoxCall");
    ASSERT_NE(nullptr, hook);
    *hook = (void *)AnswerQuestion;
    Questions.clear();
    SelectRows(Control(window, IDC_LIST), {0});
    PressKey(Control(window, IDC_LIST), VK_DELETE);

    Answer = IDNO;
    SendMessageW(Control(window, IDC_SAVE), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, Questions.size());
    EXPECT_TRUE(Contains(Questions[0], L" 1 件")) << Utf8(Questions[0]);
    EXPECT_EQ(before, ReadBytes(TestFolder() + L"tonquil.m3u"));
    EXPECT_EQ("an older list\r\n", ReadBytes(TestFolder() + L"tonquil.m3u.bak"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW((TestFolder() + L"tonquil.m3u.tmp").c_str()));
    EXPECT_TRUE(Contains(StatusText(window, 0), L"保存しませんでした"))
        << Utf8(StatusText(window, 0));

    Answer = IDYES;
    SendMessageW(Control(window, IDC_SAVE), BM_CLICK, 0, 0);
    EXPECT_EQ(2u, Questions.size());
    EXPECT_EQ(AnsiBytes(tracks[1]) + "\r\n" + AnsiBytes(tracks[3]) + "\r\n",
              ReadBytes(TestFolder() + L"tonquil.m3u"));
    EXPECT_EQ(before, ReadBytes(TestFolder() + L"tonquil.m3u.bak"));

    // The file now holds the list: nothing more to ask.
    SendMessageW(Control(window, IDC_SAVE), BM_CLICK, 0, 0);
    EXPECT_EQ(2u, Questions.size());
}

// Saved by the module, read by the real player started again: every entry
// back in order, and each one plays.
TEST_F(ModuleWindow, JapaneseKoreanAndEmojiPathsComeBackFromASaveAndPlay) {
    std::vector<std::wstring> tracks;
    for (const wchar_t *name :
         {L"日本語の歌.mp3", L"한국어 노래.mp3", L"\U0001F3B5 たのしい.mp3"}) {
        tracks.push_back(music + name);
        ASSERT_TRUE(WriteBytes(tracks.back(), "audio"));
    }
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    POINT outside = {0, 0};
    SendMessageW(window, WM_DROPFILES, (WPARAM)MakeDrop(tracks, outside), 0);
    SendMessageW(Control(window, IDC_SAVE), BM_CLICK, 0, 0);
    EXPECT_EQ(L"3 曲を tonquil.m3u に保存しました (UTF-8)。", StatusText(window, 0));
    std::string saved = ReadBytes(TestFolder() + L"tonquil.m3u");
    EXPECT_EQ("\xEF\xBB\xBF", saved.substr(0, 3));
    ClosePlayerWindow(player);
    player = NULL;

    std::wstring folder = RealPlayerFolder(saved);
    RunningPlayer again = StartPlayer(folder);
    ASSERT_NE(nullptr, again.window);
    SendMessageW(again.window, WM_COMMAND, IDM_SHOWWINDOW, 0);
    HWND shown = WaitForWindow(WINDOW_CLASS_NAME, GetProcessId(again.process), 10000);
    ASSERT_NE(nullptr, shown);
    EXPECT_EQ(3, RowCount(Control(shown, IDC_LIST)));
    for (size_t i = 0; i < tracks.size(); ++i) {
        SendMessageW(again.window, WM_COMMAND, IDM_TRACK_FIRST + i, 0);
        EXPECT_EQ(1u, WaitForOpen(folder, tracks[i])) << "entry " << i;
        EXPECT_EQ(LRESULT(i), SendMessageW(again.window, CM_GETTRACKNO, 0, 0));
    }
    EXPECT_EQ(0, SendMessageW(again.window, CM_GETTRACKENTRY, 3, 0));
    EXPECT_EQ(0, CloseAndWait(again));
}
