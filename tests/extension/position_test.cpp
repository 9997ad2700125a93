// The time, the seek slider and the playback options, against what the
// player reports: the time and the thumb follow it, and every seek and
// choice reaches it as the control message it should be.
#include "module_window.h"

#include "player_place.h"
#include "player_window.h"
#include "tonquil_extension.h"

#include <commctrl.h>

namespace {

class PositionWindow : public ModuleWindow {
  protected:
    HWND ShowWithPlace() {
        WritePlaylist(MakeTracks(3));
        player = StartPlayerWindow();
        if (!player)
            return NULL;
        AnswerPlace(player);
        SendMessageW(player, WM_COMMAND, IDM_SHOWWINDOW, 0);
        PumpMessages();
        return FindModuleWindow();
    }
    void TearDown() override {
        StopAnswering(player);
        ModuleWindow::TearDown();
    }
    // Sets what the player reports and waits for the window to show it.
    bool Report(HWND window, LONG length, LONG position) {
        Place().length = length;
        Place().position = position;
        HWND seek = Control(window, IDC_SEEK);
        LONG shown = position > 0 ? position : 0;
        return PumpUntil([&] { return SendMessageW(seek, TBM_GETPOS, 0, 0) == shown; });
    }
};

} // namespace

TEST_F(PositionWindow, TimeAndThumbFollowThePlayersPositionAndLength) {
    HWND window = ShowWithPlace();
    ASSERT_NE(nullptr, window);
    HWND seek = Control(window, IDC_SEEK);
    HWND time = Control(window, IDC_TIME);
    struct Row {
        LONG length, position;
        const wchar_t *time;
    } rows[] = {
        {296000, 83000, L"1:23 / 4:56"},
        {296999, 83999, L"1:23 / 4:56"}, // cut to the second, never rounded up
        {60000, 59999, L"0:59 / 1:00"},
        {3723000, 3599999, L"59:59 / 1:02:03"},
        {36000000, 35999000, L"9:59:59 / 10:00:00"},
        {0, 12345, L"0:12"}, // a length the player does not know
        {0, 0, L"0:00"},     // nothing open
        {-5, -7, L"0:00"},   // nonsense from the player
    };
    for (const Row &row : rows) {
        Place().length = row.length;
        Place().position = row.position;
        // Without a length the slider has no room, and its thumb stays at 0.
        LONG range = row.length > 0 ? row.length : 0;
        LONG thumb = row.position > 0 && range > 0 ? row.position : 0;
        EXPECT_TRUE(PumpUntil([&] {
            return WindowText(time) == row.time &&
                   SendMessageW(seek, TBM_GETRANGEMAX, 0, 0) == range &&
                   SendMessageW(seek, TBM_GETPOS, 0, 0) == thumb;
        })) << row.time;
    }
}

TEST_F(PositionWindow, ArrowKeysOnTheSliderAndCtrlArrowsAnywhereSeekFiveSeconds) {
    HWND window = ShowWithPlace();
    ASSERT_NE(nullptr, window);
    struct Row {
        int control;
        UINT key;
        bool ctrl;
        LONG length, position;
        std::vector<SentMessage> sent;
    } rows[] = {
        {IDC_SEEK, VK_RIGHT, false, 300000, 60000, {{CM_SETPOSITION, 65000}}},
        {IDC_SEEK, VK_LEFT, false, 300000, 60000, {{CM_SETPOSITION, 55000}}},
        {IDC_SEEK, VK_LEFT, false, 300000, 3000, {{CM_SETPOSITION, 0}}},
        {IDC_SEEK, VK_HOME, false, 300000, 60000, {{CM_SETPOSITION, 0}}},
        // At or past the end is not asked for: the track is not cut short.
        {IDC_SEEK, VK_RIGHT, false, 300000, 296000, {}},
        {IDC_SEEK, VK_END, false, 300000, 60000, {}},
        {IDC_SEEK, VK_RIGHT, true, 300000, 60000, {{CM_SETPOSITION, 65000}}},
        {IDC_LIST, VK_RIGHT, true, 300000, 60000, {{CM_SETPOSITION, 65000}}},
        {IDC_PLAY, VK_LEFT, true, 300000, 60000, {{CM_SETPOSITION, 55000}}},
        {IDC_VOLUME, VK_RIGHT, true, 300000, 60000, {{CM_SETPOSITION, 65000}}},
        {IDC_MODE, VK_LEFT, true, 300000, 60000, {{CM_SETPOSITION, 55000}}},
        {IDC_LIST, VK_RIGHT, true, 0, 0, {}}, // nothing open
        {IDC_LIST, VK_RIGHT, false, 300000, 60000, {}},
    };
    for (const Row &row : rows) {
        ASSERT_TRUE(Report(window, row.length, row.position));
        LONG volume = (LONG)SendMessageW(player, CM_GETVOLUME, 0, 0);
        TakeSent();
        HWND control = Control(window, row.control);
        SetFocus(control);
        HoldControlKey(row.ctrl);
        PressKey(control, row.key);
        HoldControlKey(false);
        EXPECT_EQ(row.sent, TakeSent()) << row.control << " " << row.key << " " << row.position;
        // Ctrl with an arrow only seeks: the control under it keeps its value.
        EXPECT_EQ(volume, SendMessageW(player, CM_GETVOLUME, 0, 0));
        if (!row.sent.empty()) {
            EXPECT_EQ((LONG)row.sent[0].value,
                      SendMessageW(Control(window, IDC_SEEK), TBM_GETPOS, 0, 0));
        }
    }
}

TEST_F(PositionWindow, DraggingTheThumbShowsItsTimeAndSeeksOnRelease) {
    HWND window = ShowWithPlace();
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(Report(window, 300000, 10000));
    HWND seek = Control(window, IDC_SEEK);
    TakeSent();
    for (LONG to : {60000, 90000, 120000}) {
        SendMessageW(seek, TBM_SETPOS, TRUE, to);
        SendMessageW(window, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 0), (LPARAM)seek);
    }
    EXPECT_TRUE(TakeSent().empty());
    EXPECT_EQ(L"2:00 / 5:00", WindowText(Control(window, IDC_TIME)));
    SendMessageW(window, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0), (LPARAM)seek);
    SendMessageW(window, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), (LPARAM)seek);
    EXPECT_EQ((std::vector<SentMessage>{{CM_SETPOSITION, 120000}}), TakeSent());
    EXPECT_EQ(120000, Place().position);
}

TEST_F(PositionWindow, ResumeAndReplayGainShowThePlayersValuesAndSendTheUsersChoice) {
    HWND window = ShowWithPlace();
    ASSERT_NE(nullptr, window);
    HWND resume = Control(window, IDC_RESUME);
    HWND gain = Control(window, IDC_GAIN);
    struct Row {
        LONG resume, gain;
        LRESULT check, choice;
    } shown[] = {{1, 2, BST_CHECKED, 2},
                 {0, 1, BST_UNCHECKED, 1},
                 {0, 0, BST_UNCHECKED, 0},
                 {1, 7, BST_CHECKED, CB_ERR}};
    for (const Row &row : shown) {
        Place().resume = row.resume;
        Place().gain = row.gain;
        EXPECT_TRUE(PumpUntil([&] {
            return SendMessageW(resume, BM_GETCHECK, 0, 0) == row.check &&
                   SendMessageW(gain, CB_GETCURSEL, 0, 0) == row.choice;
        })) << row.resume
            << " " << row.gain;
    }

    Place().resume = 0;
    Place().gain = 0;
    PumpUntil([&] { return SendMessageW(resume, BM_GETCHECK, 0, 0) == BST_UNCHECKED; });
    TakeSent();
    SendMessageW(resume, BM_CLICK, 0, 0);
    SendMessageW(resume, BM_CLICK, 0, 0);
    for (int choice : {2, 1, 0}) {
        SendMessageW(gain, CB_SETCURSEL, choice, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_GAIN, CBN_SELCHANGE), (LPARAM)gain);
    }
    EXPECT_EQ((std::vector<SentMessage>{{CM_SETRESUME, 1},
                                        {CM_SETRESUME, 0},
                                        {CM_SETREPLAYGAIN, 2},
                                        {CM_SETREPLAYGAIN, 1},
                                        {CM_SETREPLAYGAIN, 0}}),
              TakeSent());
    // Alt with the underlined letters reaches both.
    SendMessageW(Control(window, IDC_LIST), WM_SYSCHAR, L'r', 1 << 29);
    EXPECT_EQ((std::vector<SentMessage>{{CM_SETRESUME, 1}}), TakeSent());
    SendMessageW(Control(window, IDC_LIST), WM_SYSCHAR, L'g', 1 << 29);
    EXPECT_EQ(gain, GetFocus());
    SendMessageW(Control(window, IDC_LIST), WM_SYSCHAR, L't', 1 << 29);
    EXPECT_EQ(Control(window, IDC_SEEK), GetFocus());
}

TEST_F(PositionWindow, NoTimerRunsWhileHiddenOrMinimisedAndTheListIsCaughtUpWhenBack) {
    HWND window = ShowWithPlace();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    const UINT_PTR shownTimer = 1;
    struct Row {
        const char *how;
        std::function<void()> hide, show;
    } rows[] = {
        {"closed and shown by the command", [&] { SendMessageW(window, WM_CLOSE, 0, 0); },
         [&] { SendMessageW(player, WM_COMMAND, IDM_SHOWWINDOW, 0); }},
        {"hidden and shown", [&] { ShowWindow(window, SW_HIDE); },
         [&] { ShowWindow(window, SW_SHOW); }},
        {"minimised and restored", [&] { ShowWindow(window, SW_MINIMIZE); },
         [&] { ShowWindow(window, SW_RESTORE); }},
    };
    for (const Row &row : rows) {
        row.hide();
        PumpMessages();
        // KillTimer finds no timer to end: none was left running.
        EXPECT_FALSE(KillTimer(window, shownTimer)) << row.how;
        // Meanwhile the list changes and the track moves on.
        int rows = RowCount(list);
        ASSERT_EQ(1, SendMessageW(player, CM_REMOVETRACK, 0, 0));
        ASSERT_EQ(
            1, SendMessageW(player, CM_INSERTTRACK, (WPARAM)-1, (LPARAM)MakeTracks(1)[0].c_str()));
        ASSERT_EQ(1, SendMessageW(player, CM_REMOVETRACK, 0, 0));
        Place().length = 200000;
        Place().position += 1000;
        row.show();
        // Back in view, the window shows the list as it is at once.
        EXPECT_EQ(rows - 1, RowCount(list)) << row.how;
        EXPECT_EQ(Place().position, SendMessageW(Control(window, IDC_SEEK), TBM_GETPOS, 0, 0));
        EXPECT_TRUE(KillTimer(window, shownTimer)) << row.how;
        ShowWindow(window, SW_HIDE);
        ShowWindow(window, SW_SHOW);
    }
}
