// The tray icon at the DPI in force: its size when the player starts on a
// desktop of 96, 144 and 192 DPI, and the image given to the shell again
// when the DPI changes while it runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/app/main_window.h"
#include "player_window.h"
#include "test_support.h"
#include "player/tray/tray_icon.h"

namespace {

struct IconRequest {
    DWORD message;
    UINT flags;
    int size; // of the image handed over, 0 for none
};

std::vector<IconRequest> Requests;

int IconWidth(HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP colour = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return colour.bmWidth;
}

// The image is measured while the request is made: the player destroys an
// image it replaces once the shell has the new one.
BOOL WINAPI RecordRequest(DWORD message, PNOTIFYICONDATAW data) {
    if (data->uFlags & NIF_ICON)
        Requests.push_back({message, data->uFlags, IconWidth(data->hIcon)});
    return TRUE;
}

UINT TestDpi = 96;

UINT ChosenDpi(HWND) {
    return TestDpi;
}

const wchar_t *const DesktopKey = L"Control Panel\\Desktop";
const wchar_t *const SizeFile = L"icon-size.txt";

// The desktop's DPI as the system reads it at a process's start, for the
// processes started after it; the value found before is put back at the end.
class DesktopDpi {
  public:
    DesktopDpi() {
        RegCreateKeyExW(HKEY_CURRENT_USER, DesktopKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                        NULL);
        DWORD size = sizeof saved;
        had = key && RegQueryValueExW(key, L"LogPixels", NULL, NULL, (BYTE *)&saved, &size) ==
                         ERROR_SUCCESS;
    }
    ~DesktopDpi() {
        if (had)
            RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, (const BYTE *)&saved, sizeof saved);
        else
            RegDeleteValueW(key, L"LogPixels");
        RegCloseKey(key);
    }
    bool Set(DWORD dpi) {
        return key && RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, (const BYTE *)&dpi,
                                     sizeof dpi) == ERROR_SUCCESS;
    }

  private:
    HKEY key = NULL;
    DWORD saved = 0;
    bool had = false;
};

} // namespace

// Runs in a copy of this program that the test below starts on a desktop of
// another DPI: writes the sizes of the images that the player's window gives
// the shell when it is created and when the shell starts again.
TEST(TrayIconAtStart, DISABLED_WritesTheSizesGivenToTheShell) {
    NOTIFYICONPROC saved = NotifyIconCall;
    NotifyIconCall = RecordRequest;
    Requests.clear();
    HWND window = StartPlayerWindow();
    ASSERT_NE(nullptr, window);
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ClosePlayerWindow(window);
    NotifyIconCall = saved;
    std::string sizes;
    for (const IconRequest &request : Requests)
        sizes += std::to_string(request.size) + " ";
    ASSERT_TRUE(WriteBytes(TestFolder() + SizeFile, sizes));
}

TEST(TrayIconAtStart, IsSixteenTwentyFourAndThirtyTwoPixelsAt96144And192Dpi) {
    const struct {
        DWORD dpi;
        const char *sizes; // at creation, then at the shell's restart
    } cases[] = {{144, "24 24 "}, {192, "32 32 "}, {96, "16 16 "}};
    DesktopDpi desktop;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.dpi);
        ASSERT_TRUE(desktop.Set(c.dpi));
        DeletePath(TestFolder() + SizeFile);
        EXPECT_EQ(0, RunAndWait(TestFolder() + L"tray_test.exe",
                                L"--gtest_also_run_disabled_tests "
                                L"--gtest_filter=TrayIconAtStart.DISABLED_*",
                                60000));
        EXPECT_EQ(c.sizes, ReadBytes(TestFolder() + SizeFile));
    }
    DeletePath(TestFolder() + SizeFile);
}

TEST(TrayIconWhileRunning, IsGivenAgainAtTheSizeOfANewDpi) {
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    const int NONE = -1;
    const struct {
        UINT dpi, message;
        int request; // NONE: no request
        int size;
    } steps[] = {
        {144, WM_DISPLAYCHANGE, NIM_MODIFY, 24},
        {144, WM_SETTINGCHANGE, NONE, 0}, // nothing changed: nothing asked
        {192, WM_SETTINGCHANGE, NIM_MODIFY, 32},
        {192, WM_DPICHANGED, NONE, 0},
        {192, taskbarCreated, NIM_ADD, 32},
        {96, WM_DPICHANGED, NIM_MODIFY, 16},
        {96, WM_DISPLAYCHANGE, NONE, 0},
    };
    NOTIFYICONPROC savedCall = NotifyIconCall;
    TRAYDPIPROC savedDpi = TrayDpiCall;
    NotifyIconCall = RecordRequest;
    TrayDpiCall = ChosenDpi;
    TestDpi = 96;
    Requests.clear();
    HWND window = StartPlayerWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(1u, Requests.size());
    EXPECT_EQ(16, Requests[0].size);
    for (const auto &step : steps) {
        SCOPED_TRACE(std::to_string(step.dpi) + " " + std::to_string(step.message));
        Requests.clear();
        TestDpi = step.dpi;
        RECT suggested = {0, 0, 0, 0};
        SendMessageW(window, step.message, MAKEWPARAM(step.dpi, step.dpi), (LPARAM)&suggested);
        if (step.request == NONE) {
            EXPECT_TRUE(Requests.empty());
            continue;
        }
        ASSERT_EQ(1u, Requests.size());
        EXPECT_EQ((DWORD)step.request, Requests[0].message);
        EXPECT_EQ(step.size, Requests[0].size);
        if (step.request == (int)NIM_MODIFY) {
            EXPECT_EQ((UINT)NIF_ICON, Requests[0].flags); // the tip stays as it is
        }
    }
    ClosePlayerWindow(window);
    NotifyIconCall = savedCall;
    TrayDpiCall = savedDpi;
}
