// Lists larger than anyone would type in: many entries and very long paths.
#include "module_window.h"

#include "player_window.h"
#include "player/playlist/playlist.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <commctrl.h>

namespace {

// Entries the playlist file could not give (the player reads only paths it
// can open), linked straight into the player's list.
void LinkEntries(const std::vector<std::wstring> &paths) {
    PlaylistLoaded = 1;
    TRACKENTRY *last = Playlist;
    for (const std::wstring &path : paths)
        last = LinkNewTrack(last, path.c_str());
}

} // namespace

TEST_F(ModuleWindow, SixtyThousandEntriesShowScrollAndGoAtOnce) {
    const int count = 60000;
    player = StartPlayerWindow();
    ASSERT_NE(nullptr, player);
    std::vector<std::wstring> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back(L"C:\\Music\\Album " + std::to_wstring(i / 12) + L"\\" +
                        std::to_wstring(i) + L".mp3");
    // The one that will be played has to open.
    paths[59000] = MakeTracks(1)[0];
    LinkEntries(paths);
    ASSERT_EQ(1, SendMessageW(player, CM_SETTRACKNO, 59990, 0));

    SendMessageW(player, WM_COMMAND, IDM_SHOWWINDOW, 0);
    PumpMessages();
    HWND window = FindModuleWindow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    EXPECT_EQ(count, RowCount(list));
    EXPECT_EQ(L"60000 曲", StatusText(window, 1));
    // The current track was scrolled into view.
    int top = (int)SendMessageW(list, LVM_GETTOPINDEX, 0, 0);
    int page = (int)SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_LE(top, 59990);
    EXPECT_GT(top + page, 59990);
    EXPECT_EQ(L"\x25B6 59991", RowText(list, 59990, 0));
    EXPECT_EQ(L"59999.mp3", RowText(list, 59999, 1));
    EXPECT_EQ(L"C:\\Music\\Album 4999", RowText(list, 59999, 2));
    EXPECT_EQ(L"12345.mp3", RowText(list, 12345, 1));

    // Playing a row far down plays that entry.
    DoubleClickRow(list, 59000);
    PumpMessages();
    EXPECT_EQ(59000, PlayerTrackNo(player));
    std::vector<std::wstring> opened = OpenedPaths();
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(paths[59000], opened[0]);

    // Every row selected and removed.
    SetFocus(list);
    LVITEMW all = {};
    all.state = all.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&all);
    PressKey(list, VK_DELETE);
    EXPECT_EQ(0, RowCount(list));
    EXPECT_EQ(nullptr, (void *)SendMessageW(player, CM_GETTRACKENTRY, 0, 0));
}

TEST_F(ModuleWindow, PathsOfAThousandCharactersShowAndSaveWhole) {
    player = StartPlayerWindow();
    ASSERT_NE(nullptr, player);
    std::wstring folder = L"C:\\" + std::wstring(600, L'f');
    std::wstring name = std::wstring(396, L'n') + L".mp3";
    std::wstring path = folder + L"\\" + name;
    ASSERT_EQ(1004u, path.size());
    LinkEntries({L"C:\\short.mp3", path});

    SendMessageW(player, WM_COMMAND, IDM_SHOWWINDOW, 0);
    PumpMessages();
    HWND window = FindModuleWindow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    ASSERT_EQ(2, RowCount(list));
    EXPECT_EQ(name, RowText(list, 1, 1));
    EXPECT_EQ(folder, RowText(list, 1, 2));
    UpdateWindow(list);

    SendMessageW(Control(window, IDC_SAVE), BM_CLICK, 0, 0);
    EXPECT_EQ("C:\\short.mp3\r\n" + AnsiBytes(path) + "\r\n",
              ReadBytes(TestFolder() + L"tonquil.m3u"));
}
