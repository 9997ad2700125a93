// The window as the show-window command brings it up: the list, the mark of
// the current track, and playing a row.
#include "module_window.h"

#include "player_window.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <commctrl.h>
#include <stdlib.h>

TEST_F(ModuleWindow, ShowWindowCommandShowsEveryEntryWithTheCurrentOneMarked) {
    std::vector<std::wstring> tracks = MakeTracks(5);
    WritePlaylist(tracks);
    WriteBytes(TestFolder() + L"tonquil.ini", "[Client]\r\nTrackNo=2\r\n");

    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(nullptr, GetParent(window));
    EXPECT_EQ(nullptr, GetWindow(window, GW_OWNER));
    EXPECT_NE(nullptr, (HICON)SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    EXPECT_NE(nullptr, (HICON)SendMessageW(window, WM_GETICON, ICON_BIG, 0));

    HWND list = Control(window, IDC_LIST);
    ASSERT_EQ(5, RowCount(list));
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(tracks[row].substr(music.size()), RowText(list, row, 1));
        EXPECT_EQ(music.substr(0, music.size() - 1), RowText(list, row, 2));
    }
    EXPECT_EQ(L"1", RowText(list, 0, 0));
    EXPECT_EQ(L"\x25B6 3", RowText(list, 2, 0));
    EXPECT_EQ(std::vector<int>{2}, MarkedRows(list));
    EXPECT_EQ(L"5 曲", StatusText(window, 1));

    // A second command shows the same window again.
    ShowWindow(window, SW_HIDE);
    SendMessageW(player, WM_COMMAND, IDM_SHOWWINDOW, 0);
    PumpMessages();
    EXPECT_EQ(window, FindModuleWindow());
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(ModuleWindow, EveryControlHasAnAccessibleNameAndTheTextsAreJapanese) {
    WritePlaylist(MakeTracks(1));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    struct Named {
        int id;
        const wchar_t *text;
    } named[] = {{IDC_PREV, L"前の曲(&F)"},        {IDC_PLAY, L"再生(&P)"},
                 {IDC_PAUSE, L"一時停止(&Q)"},     {IDC_STOP, L"停止(&S)"},
                 {IDC_NEXT, L"次の曲(&N)"},        {IDC_VOLUME, L"音量"},
                 {IDC_MUTE, L"ミュート(&U)"},      {IDC_SEEK, L"再生位置"},
                 {IDC_LIST, L"プレイリスト"},      {IDC_ADD, L"追加(&A)..."},
                 {IDC_REMOVE, L"削除(&D)"},        {IDC_SAVE, L"プレイリストを保存(&W)"},
                 {IDC_RESUME, L"続きから再生(&R)"}};
    for (const Named &control : named) {
        wchar_t text[128] = L"";
        GetWindowTextW(Control(window, control.id), text, 128);
        EXPECT_STREQ(control.text, text) << control.id;
        EXPECT_TRUE(GetWindowLongW(Control(window, control.id), GWL_STYLE) & WS_TABSTOP);
    }
    // The sliders and the choices follow their labels in tab order, which is
    // where screen readers take their names from.
    for (std::pair<int, int> labelled :
         {std::make_pair(IDC_VOLUME_LABEL, IDC_VOLUME), std::make_pair(IDC_SEEK_LABEL, IDC_SEEK),
          std::make_pair(IDC_MODE_LABEL, IDC_MODE), std::make_pair(IDC_GAIN_LABEL, IDC_GAIN)})
        EXPECT_EQ(Control(window, labelled.first),
                  GetWindow(Control(window, labelled.second), GW_HWNDPREV));
    EXPECT_EQ(L"再生位置(&T):", WindowText(Control(window, IDC_SEEK_LABEL)));
    EXPECT_EQ(L"リプレイゲイン(&G):", WindowText(Control(window, IDC_GAIN_LABEL)));
    // The seek row comes between the volume and the list.
    EXPECT_EQ(Control(window, IDC_SEEK_LABEL), GetWindow(Control(window, IDC_MUTE), GW_HWNDNEXT));
    EXPECT_EQ(Control(window, IDC_LIST), GetWindow(Control(window, IDC_TIME), GW_HWNDNEXT));
    HWND mode = Control(window, IDC_MODE);
    ASSERT_EQ(3, SendMessageW(mode, CB_GETCOUNT, 0, 0));
    wchar_t text[64];
    SendMessageW(mode, CB_GETLBTEXT, 2, (LPARAM)text);
    EXPECT_STREQ(L"シャッフル", text);
    HWND gain = Control(window, IDC_GAIN);
    ASSERT_EQ(3, SendMessageW(gain, CB_GETCOUNT, 0, 0));
    const wchar_t *gains[] = {L"オフ", L"トラック", L"アルバム"};
    for (int i = 0; i < 3; ++i) {
        SendMessageW(gain, CB_GETLBTEXT, i, (LPARAM)text);
        EXPECT_STREQ(gains[i], text);
    }
}

TEST_F(ModuleWindow, DoubleClickAndEnterPlayTheEntryOfTheRow) {
    std::vector<std::wstring> tracks = MakeTracks(5);
    WritePlaylist(tracks);
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);

    DoubleClickRow(list, 3);
    PumpMessages();
    ASSERT_EQ(std::vector<std::wstring>{tracks[3]}, OpenedPaths());
    EXPECT_EQ(3, PlayerTrackNo(player));
    EXPECT_EQ(std::vector<int>{3}, MarkedRows(list));
    EXPECT_EQ(L"再生中: 4. track04.mp3", StatusText(window, 0));

    SelectRows(list, {1});
    PressKey(list, VK_RETURN);
    PumpMessages();
    EXPECT_EQ((std::vector<std::wstring>{tracks[3], tracks[1]}), OpenedPaths());
    EXPECT_EQ(std::vector<int>{1}, MarkedRows(list));
}

TEST_F(ModuleWindow, RowsOfAListChangedBehindTheWindowNeverPlayTheWrongTrack) {
    std::vector<std::wstring> tracks = MakeTracks(6);
    WritePlaylist(tracks);
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    ASSERT_EQ(6, RowCount(list));

    // Another sender takes the first two entries away.
    ASSERT_EQ(1, SendMessageW(player, CM_REMOVETRACK, 0, 0));
    ASSERT_EQ(1, SendMessageW(player, CM_REMOVETRACK, 0, 0));
    // Rows drawn meanwhile show the entries as they now are, or nothing.
    EXPECT_EQ(L"track03.mp3", RowText(list, 0, 1));
    EXPECT_EQ(L"", RowText(list, 5, 1));

    // The row the user saw as track05 is now a different entry: nothing plays.
    DoubleClickRow(list, 4);
    PumpMessages();
    EXPECT_TRUE(OpenedPaths().empty());
    EXPECT_EQ(4, RowCount(list));
    EXPECT_TRUE(Contains(StatusText(window, 0), L"もう一度選んでください"));
    EXPECT_EQ(L"4 曲", StatusText(window, 1));

    // Now the view is current, and the same track is at row 2.
    DoubleClickRow(list, 2);
    PumpMessages();
    EXPECT_EQ(std::vector<std::wstring>{tracks[4]}, OpenedPaths());
}

TEST_F(ModuleWindow, ChangesByOthersReachTheViewWithoutAnyAction) {
    std::vector<std::wstring> tracks = MakeTracks(4);
    WritePlaylist(tracks);
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    SelectRows(list, {3});

    ASSERT_EQ(1, SendMessageW(player, CM_REMOVETRACK, 1, 0));
    ASSERT_EQ(1, SendMessageW(player, CM_SETTRACKNO, 2, 0));
    ASSERT_EQ(1, SendMessageW(player, CM_SETVOLUME, 30, 0));
    ASSERT_EQ(1, SendMessageW(player, CM_SETPLAYMODE, 2, 0));
    PumpFor(700);

    EXPECT_EQ(3, RowCount(list));
    EXPECT_EQ(L"track04.mp3", RowText(list, 2, 1));
    EXPECT_EQ(std::vector<int>{2}, MarkedRows(list));
    // The selection named an index of the old list; it is dropped.
    EXPECT_EQ(0, SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
    EXPECT_EQ(30, SendMessageW(Control(window, IDC_VOLUME), TBM_GETPOS, 0, 0));
    EXPECT_EQ(2, SendMessageW(Control(window, IDC_MODE), CB_GETCURSEL, 0, 0));
}

TEST_F(ModuleWindow, AnEntryThePlayerCannotOpenLeavesTheViewToo) {
    std::vector<std::wstring> tracks = MakeTracks(3);
    WriteBytes(tracks[1], "REFUSE");
    WritePlaylist(tracks);
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);

    DoubleClickRow(list, 1);
    PumpMessages();
    // The player drops the entry (after trying it once more with plug-ins)
    // and plays the one that slid into its place.
    EXPECT_EQ((std::vector<std::wstring>{tracks[1], tracks[1], tracks[2]}), OpenedPaths());
    EXPECT_EQ(2, RowCount(list));
    EXPECT_EQ(L"track03.mp3", RowText(list, 1, 1));
    EXPECT_EQ(std::vector<int>{1}, MarkedRows(list));
}

TEST_F(ModuleWindow, TransportControlsDriveThePlayer) {
    std::vector<std::wstring> tracks = MakeTracks(3);
    WritePlaylist(tracks);
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);

    SendMessageW(Control(window, IDC_PLAY), BM_CLICK, 0, 0);
    SendMessageW(Control(window, IDC_NEXT), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ((std::vector<std::wstring>{tracks[0], tracks[1]}), OpenedPaths());
    EXPECT_EQ(std::vector<int>{1}, MarkedRows(Control(window, IDC_LIST)));
    SendMessageW(Control(window, IDC_PREV), BM_CLICK, 0, 0);
    EXPECT_EQ(0, PlayerTrackNo(player));
    SendMessageW(Control(window, IDC_PAUSE), BM_CLICK, 0, 0);
    SendMessageW(Control(window, IDC_STOP), BM_CLICK, 0, 0);
    std::vector<std::string> log = ReadLog(TestFolder(), L"bass-calls.log");
    EXPECT_FALSE(LogLinesStarting(log, "BASS_ChannelPause(").empty());
    EXPECT_FALSE(LogLinesStarting(log, "BASS_ChannelStop(").empty());

    HWND volume = Control(window, IDC_VOLUME);
    SendMessageW(volume, TBM_SETPOS, TRUE, 40);
    SendMessageW(window, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 40), (LPARAM)volume);
    EXPECT_EQ(40, SendMessageW(player, CM_GETVOLUME, 0, 0));

    SendMessageW(Control(window, IDC_MUTE), BM_CLICK, 0, 0);
    EXPECT_EQ(1, SendMessageW(player, CM_GETMUTE, 0, 0));
    SendMessageW(Control(window, IDC_MUTE), BM_CLICK, 0, 0);
    EXPECT_EQ(0, SendMessageW(player, CM_GETMUTE, 0, 0));

    HWND mode = Control(window, IDC_MODE);
    SendMessageW(mode, CB_SETCURSEL, 2, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_MODE, CBN_SELCHANGE), (LPARAM)mode);
    EXPECT_EQ(2, SendMessageW(player, CM_GETPLAYMODE, 0, 0));
}

TEST_F(ModuleWindow, KeyboardMovesBetweenControlsAndEscapeOnlyHidesTheWindow) {
    std::vector<std::wstring> tracks = MakeTracks(2);
    WritePlaylist(tracks);
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);

    SetFocus(list);
    PressKey(list, VK_TAB);
    EXPECT_EQ(Control(window, IDC_ADD), GetFocus());
    PressKey(GetFocus(), VK_TAB);
    EXPECT_EQ(Control(window, IDC_REMOVE), GetFocus());

    // Alt+P is the play button's letter.
    SendMessageW(GetFocus(), WM_SYSCHAR, L'p', 1 << 29);
    EXPECT_EQ(std::vector<std::wstring>{tracks[0]}, OpenedPaths());
    // Alt+V reaches the slider through its label.
    SendMessageW(GetFocus(), WM_SYSCHAR, L'v', 1 << 29);
    EXPECT_EQ(Control(window, IDC_VOLUME), GetFocus());
    // Enter on a focused push button presses it.
    SetFocus(Control(window, IDC_NEXT));
    PressKey(Control(window, IDC_NEXT), VK_RETURN);
    EXPECT_EQ(1, PlayerTrackNo(player));

    PressKey(GetFocus(), VK_ESCAPE);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindow(player));

    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    SendMessageW(player, WM_COMMAND, IDM_SHOWWINDOW, 0);
    EXPECT_TRUE(IsWindowVisible(window));
}

namespace {

struct TrackChange {
    HWND player;
    WPARAM index;
};

DWORD WINAPI NotifyFromAnotherThread(void *parameter) {
    TrackChange *change = (TrackChange *)parameter;
    DYNAMICWNDPROC notify =
        (DYNAMICWNDPROC)(void *)GetProcAddress(GetModuleHandleW(L"tonquil.dll"), "DynamicWndProc");
    if (notify)
        notify(change->player, XM_TRACKCHANGED, change->index, 0);
    return notify != NULL;
}

} // namespace

TEST_F(ModuleWindow, ATrackChangeFromTheAudioThreadIsFollowedOnTheWindowsOwnThread) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < 300; ++i)
        paths.push_back(music + L"track" + std::to_wstring(i) + L".mp3");
    for (const std::wstring &path : paths)
        WriteBytes(path, "audio");
    WritePlaylist(paths);
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    ASSERT_EQ(0, SendMessageW(list, LVM_GETTOPINDEX, 0, 0));

    ASSERT_EQ(1, SendMessageW(player, CM_SETTRACKNO, 250, 0));
    TrackChange change = {player, 250};
    HANDLE thread = CreateThread(NULL, 0, NotifyFromAnotherThread, &change, 0, NULL);
    // The notification must come back at once, without waiting for this
    // thread, which is not taking messages meanwhile.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
    DWORD found = 0;
    GetExitCodeThread(thread, &found);
    CloseHandle(thread);
    EXPECT_EQ(1u, found);
    PumpMessages();

    int top = (int)SendMessageW(list, LVM_GETTOPINDEX, 0, 0);
    int page = (int)SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_LE(top, 250);
    EXPECT_GT(top + page, 250);
    EXPECT_EQ(std::vector<int>{250}, MarkedRows(list));
    EXPECT_EQ(L"再生中: 251. track250.mp3", StatusText(window, 0));
}

TEST_F(ModuleWindow, AMoveToAMonitorOfTwiceTheDpiScalesTheWindowsContents) {
    WritePlaylist(MakeTracks(2));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    HWND play = Control(window, IDC_PLAY);
    int column = (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0);
    RECT button;
    GetWindowRect(play, &button);
    LOGFONTW before = {}, after = {};
    GetObjectW((HFONT)SendMessageW(play, WM_GETFONT, 0, 0), sizeof before, &before);

    RECT suggested = {40, 30, 40 + 900, 30 + 700};
    const UINT dpiChanged = 0x02E0; // WM_DPICHANGED, newer than the headers aim at
    SendMessageW(window, dpiChanged, MAKEWPARAM(192, 192), (LPARAM)&suggested);

    RECT place;
    GetWindowRect(window, &place);
    EXPECT_EQ(suggested.left, place.left);
    EXPECT_EQ(suggested.right, place.right);
    EXPECT_EQ(suggested.bottom, place.bottom);
    EXPECT_NEAR(2 * column, SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 1);
    RECT scaled;
    GetWindowRect(play, &scaled);
    EXPECT_GE(scaled.bottom - scaled.top, 2 * (button.bottom - button.top) - 1);
    GetObjectW((HFONT)SendMessageW(play, WM_GETFONT, 0, 0), sizeof after, &after);
    EXPECT_GT(abs(after.lfHeight), abs(before.lfHeight) * 3 / 2);
    // Widths are saved as at 96 DPI, so they mean the same on every monitor.
    ClosePlayerWindow(player);
    EXPECT_NE(std::string::npos,
              ReadBytes(TestFolder() + L"tonquil.ini").find("NameWidth=" + std::to_string(column)));
}
