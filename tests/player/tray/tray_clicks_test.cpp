// The click state machine, driven through real tray notifications and timer
// messages to a hidden window whose procedure records every command sent.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "player/core/player_state.h"
#include "tonquil_extension.h"
#include "player/tray/tray_clicks.h"
#include "player/tray/tray_icon.h"
#include "test_support.h"

namespace {

struct SentCommand {
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const SentCommand &other) const {
        return wParam == other.wParam && lParam == other.lParam;
    }
};

void PrintTo(const SentCommand &command, std::ostream *out) {
    *out << "WM_COMMAND(" << command.wParam << ", " << command.lParam << ")";
}

std::vector<SentCommand> Sent;
bool MarkerFired;

void CALLBACK MarkTime(HWND, UINT, UINT_PTR, DWORD) {
    MarkerFired = true;
}

LRESULT CALLBACK ClickWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TRAYNOTIFY:
        return OnTrayNotify(window, wParam, lParam);
    case WM_TIMER:
        return OnClickTimer(window, wParam, lParam);
    case WM_COMMAND:
        Sent.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<SentCommand> Commands(std::initializer_list<DWORD> ids) {
    std::vector<SentCommand> commands;
    for (DWORD id : ids)
        commands.push_back({(WPARAM)id, 0});
    return commands;
}

class Clicks : public ::testing::Test {
  protected:
    HWND window = NULL;

    void SetUp() override {
        ASSERT_TRUE(CreatePlayerRecords());
        DoubleClickSeen = 0;
        // The bindings a start without a settings file leaves.
        TrayConfig->Elapse = 130;
        Sent.clear();
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ClickWindowProc;
        windowClass.hInstance = GetModuleHandleW(NULL);
        windowClass.lpszClassName = L"TonquilClickTest";
        RegisterClassExW(&windowClass);
        window = CreateWindowExW(0, L"TonquilClickTest", NULL, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                                 NULL, NULL, GetModuleHandleW(NULL), NULL);
        ASSERT_NE(nullptr, window);
    }

    void TearDown() override {
        DestroyWindow(window);
        Pump();
    }

    // Notifications come through the queue, as the shell's do.
    void Notify(LPARAM mouseMessage, WPARAM iconId = TRAY_ICON_ID) {
        PostMessageW(window, WM_TRAYNOTIFY, iconId, mouseMessage);
        Pump();
    }

    void Pump() {
        MSG message;
        while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }

    // Runs the queue until a marker timer of milliseconds has fired, then
    // once more: every timer due before it has fired by then, however late
    // a loaded machine runs the queue.
    void PumpPast(DWORD milliseconds) {
        MarkerFired = false;
        UINT_PTR marker = SetTimer(NULL, 0, milliseconds, MarkTime);
        ASSERT_NE(0u, marker);
        WaitUntil([] { return MarkerFired; }, 10000, true);
        KillTimer(NULL, marker);
        ASSERT_TRUE(MarkerFired);
        Pump();
    }

    // Runs the queue until a command arrives or the time is up.
    bool PumpUntilSent(DWORD milliseconds) {
        return WaitUntil([&] { return !Sent.empty(); }, milliseconds, true);
    }

    // Whether the click timer is armed; the probe disarms it.
    bool TakeClickTimer() {
        return KillTimer(window, CLICK_TIMER_ID) != 0;
    }

    void Click(LPARAM up) {
        Notify(up - 1); // the button-down
        Notify(up);
    }

    // The shell's sequence for a double click: down, up, double click, up.
    void DoubleClick(LPARAM up) {
        Click(up);
        Notify(up + 1);
        Notify(up);
    }
};

TEST_F(Clicks, LeftClickWithDefaultsSendsTheTrackListOnlyWhenTheTimerFires) {
    TrayConfig->Elapse = 60;
    Click(WM_LBUTTONUP);
    EXPECT_TRUE(Sent.empty());
    EXPECT_EQ(WM_LBUTTONUP, TrayConfig->LastButtonUp);
    ASSERT_TRUE(PumpUntilSent(5000));
    PumpPast(200); // one-shot: nothing further comes
    EXPECT_EQ(Commands({IDM_TRACKLIST}), Sent);
    EXPECT_FALSE(TakeClickTimer());
}

TEST_F(Clicks, RightClickWithDefaultsSendsTheCommandMenuAtOnce) {
    Click(WM_RBUTTONUP);
    EXPECT_EQ(Commands({IDM_TRACKMENU}), Sent);
    EXPECT_FALSE(TakeClickTimer());
    EXPECT_EQ(WM_RBUTTONUP, TrayConfig->LastButtonUp);
}

TEST_F(Clicks, MiddleClickWithDefaultsSendsItsZeroBindingAtOnce) {
    Click(WM_MBUTTONUP);
    EXPECT_EQ(Commands({0}), Sent);
    EXPECT_FALSE(TakeClickTimer());
}

TEST_F(Clicks, LeftDoubleClickWithDefaultsSendsNextOnceAndNeverTheTrackList) {
    TrayConfig->Elapse = 100;
    DoubleClick(WM_LBUTTONUP);
    EXPECT_EQ(Commands({IDM_PLAYNEXT}), Sent);
    EXPECT_EQ(0, DoubleClickSeen); // the last button-up was swallowed
    PumpPast(300);
    EXPECT_EQ(Commands({IDM_PLAYNEXT}), Sent);
}

TEST_F(Clicks, DoubleClickWithoutDoubleBindingRunsTheSingleClickOnceThenSendsZero) {
    DoubleClick(WM_RBUTTONUP);
    EXPECT_EQ(Commands({IDM_TRACKMENU, 0}), Sent);
    EXPECT_FALSE(TakeClickTimer());
    EXPECT_EQ(0, DoubleClickSeen);
}

TEST_F(Clicks, EveryButtonWithDoubleBindingsWaitsAndTellsSingleFromDouble) {
    const LPARAM ups[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    TrayConfig->LBtnClk = 1001;
    TrayConfig->RBtnClk = 1002;
    TrayConfig->MBtnClk = 1003;
    TrayConfig->LBtnDblClk = 2001;
    TrayConfig->RBtnDblClk = 2002;
    TrayConfig->MBtnDblClk = 2003;
    TrayConfig->Elapse = 1000000; // only the test's own WM_TIMER fires it
    for (int b = 0; b < 3; ++b) {
        SCOPED_TRACE(b);
        Sent.clear();
        Click(ups[b]);
        EXPECT_TRUE(Sent.empty());
        SendMessageW(window, WM_TIMER, CLICK_TIMER_ID, 0);
        EXPECT_EQ(Commands({(DWORD)(1001 + b)}), Sent);
        EXPECT_FALSE(TakeClickTimer()); // the timer that fired was killed

        Sent.clear();
        DoubleClick(ups[b]);
        EXPECT_EQ(Commands({(DWORD)(2001 + b)}), Sent);
        EXPECT_FALSE(TakeClickTimer());
    }
}

TEST_F(Clicks, EveryButtonWithoutDoubleBindingsActsOnEachButtonUp) {
    TrayConfig->LBtnClk = 11;
    TrayConfig->RBtnClk = 12;
    TrayConfig->MBtnClk = 13;
    TrayConfig->LBtnDblClk = 0;
    DoubleClick(WM_LBUTTONUP);
    DoubleClick(WM_RBUTTONUP);
    DoubleClick(WM_MBUTTONUP);
    Click(WM_MBUTTONUP);
    EXPECT_EQ(Commands({11, 0, 12, 0, 13, 0, 13}), Sent);
    EXPECT_FALSE(TakeClickTimer());
}

TEST_F(Clicks, ALaterButtonUpDropsTheWaitingSingleClick) {
    TrayConfig->Elapse = 80;
    Click(WM_LBUTTONUP);
    Click(WM_RBUTTONUP);
    EXPECT_EQ(Commands({IDM_TRACKMENU}), Sent);
    EXPECT_FALSE(TakeClickTimer()); // the right button-up killed the left's timer
    PumpPast(250);
    EXPECT_EQ(Commands({IDM_TRACKMENU}), Sent);
}

TEST_F(Clicks, TheWaitingClickBelongsToTheLastButtonUp) {
    TrayConfig->RBtnDblClk = 77;
    TrayConfig->Elapse = 1000000;
    Click(WM_LBUTTONUP);
    Click(WM_RBUTTONUP); // re-arms for the right button
    EXPECT_TRUE(Sent.empty());
    SendMessageW(window, WM_TIMER, CLICK_TIMER_ID, 0);
    EXPECT_EQ(Commands({IDM_TRACKMENU}), Sent);
}

TEST_F(Clicks, ADoubleClickOfOneButtonSwallowsTheNextButtonUpOfAnother) {
    TrayConfig->Elapse = 1000000;
    Click(WM_LBUTTONUP);
    Notify(WM_MBUTTONDBLCLK); // kills the left's timer, sends the middle's 0
    EXPECT_EQ(1, DoubleClickSeen);
    EXPECT_FALSE(TakeClickTimer());
    Click(WM_RBUTTONUP); // swallowed, although the right acts at once otherwise
    EXPECT_EQ(0, DoubleClickSeen);
    EXPECT_EQ(WM_RBUTTONUP, TrayConfig->LastButtonUp);
    Click(WM_RBUTTONUP);
    EXPECT_EQ(Commands({0, IDM_TRACKMENU}), Sent);
}

TEST_F(Clicks, RepeatedDoubleClicksEachSendTheirBinding) {
    Notify(WM_LBUTTONDBLCLK);
    Notify(WM_LBUTTONDBLCLK);
    Notify(WM_RBUTTONDBLCLK);
    EXPECT_EQ(Commands({IDM_PLAYNEXT, IDM_PLAYNEXT, 0}), Sent);
    Notify(WM_LBUTTONUP);
    EXPECT_EQ(0, DoubleClickSeen);
    EXPECT_FALSE(TakeClickTimer());
}

TEST_F(Clicks, OtherIconIdsChangeNothing) {
    TrayConfig->Elapse = 1000000;
    Click(WM_LBUTTONUP); // waiting
    const WPARAM others[] = {0, 1, 255, 257, 0x10100, (WPARAM)-1};
    for (WPARAM id : others) {
        Notify(WM_RBUTTONUP, id);
        Notify(WM_LBUTTONDBLCLK, id);
        Notify(WM_MBUTTONUP, id);
    }
    EXPECT_TRUE(Sent.empty());
    EXPECT_EQ(0, DoubleClickSeen);
    EXPECT_EQ(WM_LBUTTONUP, TrayConfig->LastButtonUp);
    EXPECT_TRUE(TakeClickTimer());
}

TEST_F(Clicks, ButtonDownsMovesAndOtherNotificationsChangeNothing) {
    const LPARAM ignored[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
                              WM_CONTEXTMENU, WM_XBUTTONUP, WM_XBUTTONDBLCLK, NIN_SELECT,
                              NIN_KEYSELECT, NIN_BALLOONUSERCLICK, 0, -1,
                              // the notification form of a later shell: icon id in the high word
                              MAKELPARAM(WM_LBUTTONUP, TRAY_ICON_ID)};
    TrayConfig->Elapse = 1000000;
    Click(WM_LBUTTONUP); // waiting
    for (LPARAM notification : ignored)
        Notify(notification);
    EXPECT_TRUE(Sent.empty());
    EXPECT_EQ(WM_LBUTTONUP, TrayConfig->LastButtonUp);
    EXPECT_TRUE(TakeClickTimer());

    Notify(WM_LBUTTONDBLCLK); // swallowing
    for (LPARAM notification : ignored)
        Notify(notification);
    EXPECT_EQ(1, DoubleClickSeen);
    EXPECT_EQ(Commands({IDM_PLAYNEXT}), Sent);
}

TEST_F(Clicks, ATimerOfAnotherIdIsKilledAndSendsNothing) {
    TrayConfig->Elapse = 1000000;
    Click(WM_LBUTTONUP); // waiting
    SetTimer(window, 77, 10, NULL);
    PumpPast(150);
    EXPECT_FALSE(KillTimer(window, 77)); // killed when it fired
    SendMessageW(window, WM_TIMER, 0, 0);
    SendMessageW(window, WM_TIMER, 0x10100, 0);
    EXPECT_TRUE(Sent.empty());
    EXPECT_TRUE(TakeClickTimer()); // the click timer is left alone
}

TEST_F(Clicks, AClickTimerWithoutAButtonUpSendsNothing) {
    SendMessageW(window, WM_TIMER, CLICK_TIMER_ID, 0); // LastButtonUp is 0 at start
    TrayConfig->LastButtonUp = WM_LBUTTONDBLCLK;
    SendMessageW(window, WM_TIMER, CLICK_TIMER_ID, 0);
    TrayConfig->LastButtonUp = 0x7FFFFFFF;
    SendMessageW(window, WM_TIMER, CLICK_TIMER_ID, 0);
    EXPECT_TRUE(Sent.empty());
}

TEST_F(Clicks, BindingsOfAnyValueAreSentUnchangedWithLParamZero) {
    const LONG values[] = {0, 1, -1, (LONG)0x80000000, 0x7FFFFFFF, (LONG)0xDEADBEEF, 0x10109};
    TrayConfig->RBtnDblClk = 0;
    TrayConfig->MBtnDblClk = 0;
    for (LONG value : values) {
        SCOPED_TRACE(value);
        Sent.clear();
        TrayConfig->RBtnClk = value;
        TrayConfig->MBtnDblClk = value;
        Click(WM_RBUTTONUP);
        Notify(WM_MBUTTONDBLCLK);
        Notify(WM_MBUTTONUP);
        EXPECT_EQ(Commands({(DWORD)value, (DWORD)value}), Sent);
        TrayConfig->MBtnDblClk = 0;
    }
}

TEST_F(Clicks, ADoubleBindingOfAnyNonZeroValueMakesTheButtonWait) {
    const LONG values[] = {-1, (LONG)0x80000000, 0x10000};
    TrayConfig->Elapse = 1000000;
    for (LONG value : values) {
        SCOPED_TRACE(value);
        Sent.clear();
        TrayConfig->MBtnDblClk = value;
        TrayConfig->MBtnClk = value;
        Click(WM_MBUTTONUP);
        EXPECT_TRUE(Sent.empty());
        SendMessageW(window, WM_TIMER, CLICK_TIMER_ID, 0);
        EXPECT_EQ(Commands({(DWORD)value}), Sent);
    }
}

TEST_F(Clicks, ElapseZeroStillWaitsForTheTimer) {
    TrayConfig->Elapse = 0;
    Click(WM_LBUTTONUP);
    EXPECT_TRUE(Sent.empty());
    ASSERT_TRUE(PumpUntilSent(5000));
    PumpPast(100);
    EXPECT_EQ(Commands({IDM_TRACKLIST}), Sent);
}

TEST_F(Clicks, ElapseAtItsLargestWaitsUntilAnotherButtonUpOrDoubleClick) {
    TrayConfig->Elapse = 0x7FFFFFFF;
    Click(WM_LBUTTONUP);
    PumpPast(100);
    EXPECT_TRUE(Sent.empty());
    Notify(WM_LBUTTONDBLCLK);
    Notify(WM_LBUTTONUP);
    EXPECT_EQ(Commands({IDM_PLAYNEXT}), Sent);
    EXPECT_FALSE(TakeClickTimer());
}

TEST_F(Clicks, ANegativeElapseNeitherHangsNorLosesTheClick) {
    TrayConfig->Elapse = -1;
    Click(WM_LBUTTONUP);
    PumpPast(100);
    if (Sent.empty()) // the system took it as its longest delay
        SendMessageW(window, WM_TIMER, CLICK_TIMER_ID, 0);
    EXPECT_EQ(Commands({IDM_TRACKLIST}), Sent);
    EXPECT_FALSE(TakeClickTimer());
}

TEST_F(Clicks, AFloodOfNotificationsIsHandledOneByOne) {
    const int rounds = 2000; // below the 10,000 messages a queue may hold
    // Single clicks that act at once: one command each.
    for (int i = 0; i < rounds; ++i) {
        PostMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_MOUSEMOVE);
        PostMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONDOWN);
        PostMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
    }
    Pump();
    ASSERT_EQ((size_t)rounds, Sent.size());
    for (const SentCommand &command : Sent)
        ASSERT_EQ((WPARAM)IDM_TRACKMENU, command.wParam);

    // Double clicks that wait: one double-click command each, no single click.
    Sent.clear();
    TrayConfig->Elapse = 200;
    for (int i = 0; i < rounds; ++i) {
        PostMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN);
        PostMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
        PostMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
        PostMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
    }
    Pump();
    PumpPast(400);
    ASSERT_EQ((size_t)rounds, Sent.size());
    for (const SentCommand &command : Sent)
        ASSERT_EQ((WPARAM)IDM_PLAYNEXT, command.wParam);
    EXPECT_FALSE(TakeClickTimer());
}

} // namespace
