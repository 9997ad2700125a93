// What the shell is asked for the icon, its tip and its balloon: every
// request is captured in full through the replaceable shell call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player_window.h"
#include "player/tray/tray_icon.h"
#include "player/tray/tray_retry.h"
#include "test_support.h"

namespace {

struct ShellRequest {
    DWORD message;
    NOTIFYICONDATAW data;
};

std::vector<ShellRequest> Requests;
BOOL ShellAnswer = TRUE;

BOOL WINAPI CaptureRequest(DWORD message, PNOTIFYICONDATAW data) {
    ShellRequest request;
    request.message = message;
    CopyMemory(&request.data, data, sizeof request.data);
    Requests.push_back(request);
    return ShellAnswer;
}

// A request as the shell should see it: zero but for what the caller sets.
NOTIFYICONDATAW Expected(HWND window, UINT flags) {
    NOTIFYICONDATAW data;
    ZeroMemory(&data, sizeof data);
    // The shell's version-3 size: 952 bytes in 32-bit code, 968 in x64.
    data.cbSize = sizeof(void *) == 4 ? 952 : 968;
    data.hWnd = window;
    data.uID = 256;
    data.uFlags = flags;
    return data;
}

void ExpectRequest(DWORD message, const NOTIFYICONDATAW &expected, const ShellRequest &actual) {
    EXPECT_EQ(message, actual.message);
    const NOTIFYICONDATAW &data = actual.data;
    EXPECT_EQ(expected.cbSize, data.cbSize);
    EXPECT_EQ(expected.hWnd, data.hWnd);
    EXPECT_EQ(expected.uID, data.uID);
    EXPECT_EQ(expected.uFlags, data.uFlags);
    EXPECT_EQ(expected.uCallbackMessage, data.uCallbackMessage);
    EXPECT_EQ(expected.hIcon, data.hIcon);
    EXPECT_EQ(std::wstring(expected.szTip), std::wstring(data.szTip));
    EXPECT_EQ(std::wstring(expected.szInfo), std::wstring(data.szInfo));
    EXPECT_EQ(std::wstring(expected.szInfoTitle), std::wstring(data.szInfoTitle));
    EXPECT_EQ(expected.dwInfoFlags, data.dwInfoFlags);
    // Every byte, the unused tails of the text fields included.
    EXPECT_EQ(0, memcmp(&expected, &data, sizeof data));
}

std::wstring Text(size_t length) {
    std::wstring text;
    for (size_t i = 0; i < length; ++i)
        text += (WCHAR)(i % 2 ? L'あ' : L'a' + i % 26);
    return text;
}

class TrayIcon : public ::testing::Test {
  protected:
    HWND window = (HWND)0x1234;
    NOTIFYICONPROC savedCall = NULL;

    void SetUp() override {
        savedCall = NotifyIconCall;
        NotifyIconCall = CaptureRequest;
        Requests.clear();
        ShellAnswer = TRUE;
    }
    void TearDown() override {
        NotifyIconCall = savedCall;
    }
};

TEST_F(TrayIcon, AddAsksForTheSmallIconTheCallbackAndTheNameAsTip) {
    EXPECT_TRUE(AddTrayIcon(window));
    ASSERT_EQ(1u, Requests.size());
    HICON icon = Requests[0].data.hIcon;
    ASSERT_NE(nullptr, icon);
    NOTIFYICONDATAW expected = Expected(window, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    expected.uCallbackMessage = 0x8001;
    expected.hIcon = icon;
    lstrcpyW(expected.szTip, L"Tonquil");
    ExpectRequest(NIM_ADD, expected, Requests[0]);

    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour = {};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(16, colour.bmWidth);
    EXPECT_EQ(16, colour.bmHeight);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    // A second add (after the shell restarted) uses the same image.
    AddTrayIcon(window);
    ASSERT_EQ(2u, Requests.size());
    EXPECT_EQ(icon, Requests[1].data.hIcon);
}

TEST_F(TrayIcon, RemoveNamesOnlyTheIcon) {
    RemoveTrayIcon(window);
    ASSERT_EQ(1u, Requests.size());
    ExpectRequest(NIM_DELETE, Expected(window, 0), Requests[0]);
}

TEST_F(TrayIcon, TipIsCutTo127Characters) {
    const size_t lengths[] = {0, 1, 126, 127, 128, 200, 5000};
    for (size_t length : lengths) {
        SCOPED_TRACE(length);
        Requests.clear();
        std::wstring tip = Text(length);
        SetTrayTip(window, tip.c_str());
        ASSERT_EQ(1u, Requests.size());
        NOTIFYICONDATAW expected = Expected(window, NIF_TIP);
        lstrcpynW(expected.szTip, tip.substr(0, 127).c_str(), 128);
        ExpectRequest(NIM_MODIFY, expected, Requests[0]);
    }
}

TEST_F(TrayIcon, NoTipTextGivesAnEmptyTip) {
    SetTrayTip(window, NULL);
    ASSERT_EQ(1u, Requests.size());
    ExpectRequest(NIM_MODIFY, Expected(window, NIF_TIP), Requests[0]);
}

TEST_F(TrayIcon, TheShellsAnswerIsPassedBack) {
    ShellAnswer = FALSE;
    EXPECT_FALSE(SetTrayTip(window, L"x"));
    EXPECT_FALSE(RestoreTrayTip(window));
    ShellAnswer = TRUE;
    EXPECT_TRUE(SetTrayTip(window, L"x"));
}

TEST_F(TrayIcon, BalloonFlagsFollowTheSystemVersion) {
    struct Case {
        DWORD major, minor;
        int shown;
        DWORD flags;
    } cases[] = {
        {4, 0, 0, 0},
        {4, 10, 0, 0},
        {4, 90, 0, 0},
        {5, 0, 1, NIIF_INFO},
        {5, 1, 1, NIIF_INFO | NIIF_NOSOUND},
        {5, 2, 1, 0x11},
        {6, 0, 1, NIIF_INFO},
        {6, 1, 1, 0x11},
        {10, 0, 1, NIIF_INFO},
        {3, 51, 1, 0x11},
        {0xFFFFFFFF, 0xFFFFFFFF, 1, 0x11},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor);
        NOTIFYICONDATAW data;
        FillMemory(&data, sizeof data, 0xCC);
        ASSERT_EQ(c.shown, FillBalloonData(window, L"Artist", L"Title", c.major, c.minor, &data));
        if (!c.shown)
            continue;
        NOTIFYICONDATAW expected = Expected(window, NIF_INFO);
        lstrcpyW(expected.szInfoTitle, L"Artist");
        lstrcpyW(expected.szInfo, L"Title");
        expected.dwInfoFlags = c.flags;
        ExpectRequest(0, expected, ShellRequest{0, data});
    }
}

TEST_F(TrayIcon, BalloonOnThisSystemAsksWithItsVersionsFlags) {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExW(&version));
    ShellAnswer = 7;
    BOOL result = ShowTrayBalloon(window, L"アーティスト", L"曲名");
    if (version.dwMajorVersion == 4) {
        EXPECT_EQ(0, result);
        EXPECT_TRUE(Requests.empty());
        return;
    }
    EXPECT_EQ(7, result);
    ASSERT_EQ(1u, Requests.size());
    NOTIFYICONDATAW expected = Expected(window, NIF_INFO);
    lstrcpyW(expected.szInfoTitle, L"アーティスト");
    lstrcpyW(expected.szInfo, L"曲名");
    expected.dwInfoFlags = version.dwMinorVersion == 0 ? 1 : 0x11;
    ExpectRequest(NIM_MODIFY, expected, Requests[0]);
}

TEST_F(TrayIcon, BalloonTitleIsCutTo63AndTextTo255Characters) {
    const size_t titles[] = {0, 63, 64, 100, 3000};
    const size_t texts[] = {1, 255, 256, 300, 3000};
    for (size_t t = 0; t < 5; ++t) {
        SCOPED_TRACE(t);
        std::wstring title = Text(titles[t]), text = Text(texts[t]);
        NOTIFYICONDATAW data;
        ASSERT_EQ(1, FillBalloonData(window, title.c_str(), text.c_str(), 6, 1, &data));
        NOTIFYICONDATAW expected = Expected(window, NIF_INFO);
        lstrcpynW(expected.szInfoTitle, title.substr(0, 63).c_str(), 64);
        lstrcpynW(expected.szInfo, text.substr(0, 255).c_str(), 256);
        expected.dwInfoFlags = 0x11;
        ExpectRequest(0, expected, ShellRequest{0, data});
    }
}

TEST_F(TrayIcon, BalloonWithoutTitleHasAnEmptyTitleAndStillItsText) {
    NOTIFYICONDATAW data;
    FillMemory(&data, sizeof data, 0xCC);
    ASSERT_EQ(1, FillBalloonData(window, NULL, L"track.mp3", 5, 1, &data));
    NOTIFYICONDATAW expected = Expected(window, NIF_INFO);
    lstrcpyW(expected.szInfo, L"track.mp3");
    expected.dwInfoFlags = 0x11;
    ExpectRequest(0, expected, ShellRequest{0, data});
}

// The real main window: the icon comes with the window, comes back with the
// tip of the playing track when the shell restarts, and goes with the close.
TEST_F(TrayIcon, MainWindowAddsRestoresAndRemovesTheIcon) {
    HWND player = StartPlayerWindow();
    ASSERT_NE(nullptr, player);
    ASSERT_EQ(1u, Requests.size());
    EXPECT_EQ((DWORD)NIM_ADD, Requests[0].message);
    EXPECT_EQ(player, Requests[0].data.hWnd);
    EXPECT_EQ(std::wstring(L"Tonquil"), Requests[0].data.szTip);

    SetTrayTip(player, L"song.mp3 - Tonquil");
    Requests.clear();
    SendMessageW(player, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(2u, Requests.size());
    EXPECT_EQ((DWORD)NIM_ADD, Requests[0].message);
    EXPECT_EQ(player, Requests[0].data.hWnd);
    EXPECT_NE(nullptr, Requests[0].data.hIcon);
    NOTIFYICONDATAW tip = Expected(player, NIF_TIP);
    lstrcpyW(tip.szTip, L"song.mp3 - Tonquil");
    ExpectRequest(NIM_MODIFY, tip, Requests[1]);

    SetTrayTip(player, L"Tonquil"); // stopped
    Requests.clear();
    SendMessageW(player, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(2u, Requests.size());
    EXPECT_EQ(std::wstring(L"Tonquil"), Requests[1].data.szTip);

    Requests.clear();
    ClosePlayerWindow(player);
    ASSERT_EQ(1u, Requests.size());
    ExpectRequest(NIM_DELETE, Expected(player, 0), Requests[0]);
}

// The shell at logon, or just restarted: it refuses adds until it is ready.
int AddsToRefuse;
std::vector<DWORD> AddTicks;

BOOL WINAPI RefuseFirstAdds(DWORD message, PNOTIFYICONDATAW data) {
    CaptureRequest(message, data);
    if (message != NIM_ADD)
        return TRUE;
    AddTicks.push_back(GetTickCount());
    if (AddsToRefuse <= 0)
        return TRUE;
    --AddsToRefuse;
    return FALSE;
}

size_t CountAdds() {
    size_t adds = 0;
    for (const ShellRequest &request : Requests)
        adds += request.message == NIM_ADD;
    return adds;
}

// Runs the window's messages as they come until adds NIM_ADDs were asked.
bool WaitForAdds(size_t adds) {
    WaitUntil([&] { return CountAdds() >= adds; }, 10000, true);
    return CountAdds() == adds;
}

// Messages that woke the thread in ms of the message loop: 0 for a player
// that idles as it should.
int IdleWakeUps(DWORD ms) {
    int woken = 0;
    DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = GetTickCount() - start) {
        if (MsgWaitForMultipleObjects(0, NULL, FALSE, ms - passed, QS_ALLINPUT) == WAIT_TIMEOUT)
            break;
        MSG message;
        while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
            ++woken;
            DispatchMessageW(&message);
        }
    }
    return woken;
}

TEST(TrayRetry, EachWaitIsTwiceTheLastUpToAMinute) {
    const UINT cases[][2] = {{1000, 2000},   {2000, 4000},   {16000, 32000}, {29999, 59998},
                             {30000, 60000}, {32000, 60000}, {60000, 60000}, {50, 100}};
    for (const auto &c : cases)
        EXPECT_EQ(c[1], NextRetryWait(c[0])) << c[0];
    EXPECT_EQ(1000u, (UINT)TRAY_RETRY_FIRST_MS);
}

// A refused add is tried again, each wait twice the one before, until the
// shell takes it; then the timer is gone, the tip is given again, and a
// second start's request finds nothing to do.
TEST_F(TrayIcon, ARefusedAddIsTriedAgainWithLongerWaitsUntilTheShellTakesIt) {
    struct Case {
        const char *name;
        int refusedAtCreation;
        int refusedAfterShellRestart; // -1: the shell does not restart
        bool secondStart;
        UINT firstWait;
        size_t adds;
        bool idles; // then 10 s of the message loop wake nothing
    } cases[] = {
        {"logon", 3, -1, false, 50, 4, true},
        {"shell restart", 0, 3, false, 50, 5, false},
        {"second start", 1, -1, true, 600000, 2, false},
    };
    UINT savedWait = TrayRetryFirstWait;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        NotifyIconCall = RefuseFirstAdds;
        Requests.clear();
        AddTicks.clear();
        AddsToRefuse = c.refusedAtCreation;
        TrayRetryFirstWait = c.firstWait;
        HWND player = StartPlayerWindow();
        ASSERT_NE(nullptr, player);
        SetTrayTip(player, L"song.mp3 - Tonquil");
        if (c.refusedAfterShellRestart >= 0) {
            ASSERT_TRUE(WaitForAdds(1));
            AddsToRefuse = c.refusedAfterShellRestart;
            AddTicks.clear();
            SendMessageW(player, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        }
        if (c.secondStart)
            PostMessageW(player, WM_TRAYRETRY, 0, 0);

        ASSERT_TRUE(WaitForAdds(c.adds));
        EXPECT_EQ(0, AddsToRefuse);
        UINT wait = c.firstWait;
        for (size_t i = 1; !c.secondStart && i < AddTicks.size(); ++i, wait = NextRetryWait(wait))
            EXPECT_GE(AddTicks[i] - AddTicks[i - 1] + 16, wait) << i;
        EXPECT_FALSE(KillTimer(player, TRAY_RETRY_TIMER_ID));
        // The tip set while the icon was missing comes right after the add.
        ASSERT_LE(2u, Requests.size());
        EXPECT_EQ((DWORD)NIM_ADD, Requests[Requests.size() - 2].message);
        EXPECT_EQ((DWORD)NIM_MODIFY, Requests.back().message);
        EXPECT_EQ(std::wstring(L"song.mp3 - Tonquil"), Requests.back().data.szTip);

        size_t before = Requests.size();
        PostMessageW(player, WM_TRAYRETRY, 0, 0);
        PumpMessages();
        EXPECT_EQ(before, Requests.size());
        if (c.idles) {
            EXPECT_EQ(0, IdleWakeUps(10000));
        }
        ClosePlayerWindow(player);
    }
    TrayRetryFirstWait = savedWait;
}

} // namespace
