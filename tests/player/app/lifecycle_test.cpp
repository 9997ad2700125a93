// The real tonquil.exe, started under Wine in a folder of its own.
#include <gtest/gtest.h>

#include "player_window.h"
#include "running_player.h"
#include "test_support.h"
#include "player/app/startup.h"
#include "player/tray/tray_icon.h"
#include "player/tray/tray_retry.h"

TEST(Lifecycle, StartsHiddenWithoutSettingsAndEndsWithZeroOnClose) {
    std::wstring folder = PlayerFolder(L"bare");
    RunningPlayer player = StartPlayer(folder);
    ASSERT_NE(nullptr, player.window);
    EXPECT_FALSE(IsWindowVisible(player.window));
    EXPECT_EQ(0, CloseAndWait(player));
    // The close wrote the persisted keys.
    std::string ini = ReadBytes(folder + L"tonquil.ini");
    EXPECT_NE(std::string::npos, ini.find("Volume=100"));
}

TEST(Lifecycle, SecondStartEndsWithZeroAndMakesNoSecondWindow) {
    std::wstring folder = PlayerFolder(L"second");
    RunningPlayer player = StartPlayer(folder);
    ASSERT_NE(nullptr, player.window);
    EXPECT_EQ(0, RunAndWait(folder + L"tonquil.exe", L"", 10000));
    EXPECT_EQ(1, CountPlayerWindows());
    EXPECT_TRUE(IsWindow(player.window));
    EXPECT_EQ(0, CloseAndWait(player));
}

namespace {

// The shell at logon: it takes no icon.
int AddsAsked;
BOOL WINAPI RefuseEveryAdd(DWORD message, PNOTIFYICONDATAW) {
    AddsAsked += message == NIM_ADD;
    return message != NIM_ADD;
}

// The second start may send to the window in this thread: its messages run
// while the process is waited for.
DWORD WaitRunningMessages(HANDLE process) {
    WaitUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 20000, true);
    PumpMessages();
    DWORD code = 1;
    GetExitCodeProcess(process, &code);
    return code;
}

} // namespace

// A start with neither paths nor a command is the user looking for the
// player: the window in this process stands in for it, its icon refused.
TEST(Lifecycle, ASecondStartThatBringsNothingHasAMissingIconTriedAtOnce) {
    struct Case {
        const wchar_t *arguments;
        int adds;
    } cases[] = {{L"", 1}, {L"/stop", 0}, {L"song.mp3", 0}};
    std::wstring folder = PlayerFolder(L"looking for the icon");
    HANDLE mutex = CreateMutexW(NULL, TRUE, INSTANCE_MUTEX_NAME);
    ASSERT_NE(nullptr, mutex);
    NOTIFYICONPROC savedCall = NotifyIconCall;
    UINT savedWait = TrayRetryFirstWait;
    NotifyIconCall = RefuseEveryAdd;
    TrayRetryFirstWait = 600000; // no timer's try comes during the test
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.arguments << "\"");
        HWND window = StartPlayerWindow();
        ASSERT_NE(nullptr, window);
        AddsAsked = 0;
        HANDLE second = StartProcess(folder + L"tonquil.exe", c.arguments);
        ASSERT_NE(nullptr, second);
        EXPECT_EQ(0u, WaitRunningMessages(second));
        CloseHandle(second);
        EXPECT_EQ(c.adds, AddsAsked);
        ClosePlayerWindow(window);
    }
    NotifyIconCall = savedCall;
    TrayRetryFirstWait = savedWait;
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

// A module may close the player from its own window procedure, by WM_CLOSE or
// DestroyWindow: it gets XM_UNLOAD, and its code stays mapped until the
// player's message loop has ended, so that procedure can return.
TEST(Lifecycle, AModuleThatClosesThePlayerFromItsOwnWindowReturnsIntoItsOwnCode) {
    for (const char *how : {"1", "2"}) {
        std::wstring folder = PlayerFolder(L"closing module");
        ASSERT_TRUE(CopyInto(DoublesFolder() + L"extension\\tonquil.dll", folder + L"tonquil.dll"));
        ASSERT_TRUE(WriteBytes(folder + L"extension-double.ini",
                               std::string("[Double]\r\nCloseFromWindow=") + how + "\r\n"));
        ResetLog(folder, L"extension-calls.log");
        RunningPlayer player = StartPlayer(folder);
        ASSERT_NE(nullptr, player.window);

        PostMessageW(player.window, WM_COMMAND, 262, 0); // IDM_SHOWWINDOW

        EXPECT_EQ(0, WaitForExit(player)) << how;
        std::vector<std::string> log = ReadLog(folder, L"extension-calls.log");
        std::vector<std::string> tail;
        for (const std::string &line : log)
            if (line.compare(0, 6, "0x8102") == 0 || line == "back" || line == "unload")
                tail.push_back(line);
        EXPECT_EQ((std::vector<std::string>{"0x8102 0 0 main", "back", "unload"}), tail) << how;
    }
}

namespace {

// Wine prefers its own system DLLs to files of the same name on the search
// path, which Windows does not: this has it look, as Windows would, for the
// player's runs in the test prefix (Windows ignores the key).
struct NativeFirst {
    HKEY key = NULL;
    NativeFirst() {
        RegCreateKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Wine\\AppDefaults\\tonquil.exe\\DllOverrides", 0, NULL, 0,
                        KEY_ALL_ACCESS, NULL, &key, NULL);
        for (const wchar_t *name : {L"winmm", L"msacm32"})
            RegSetValueExW(key, name, 0, REG_SZ, (const BYTE *)L"native,builtin",
                           sizeof L"native,builtin");
    }
    ~NativeFirst() {
        for (const wchar_t *name : {L"winmm", L"msacm32"})
            RegDeleteValueW(key, name);
        RegCloseKey(key);
    }
};

} // namespace

// DLLs under a system DLL's name beside the player (the audio engine imports
// winmm.dll and msacm32.dll) must not be what the engine gets.
TEST(Lifecycle, DllsPlantedBesideThePlayerUnderSystemNamesAreNotLoaded) {
    std::wstring folder = PlayerFolder(L"planted");
    ASSERT_TRUE(CopyEngineInto(folder));
    for (const wchar_t *name : {L"winmm.dll", L"msacm32.dll"})
        ASSERT_TRUE(CopyInto(DoublesFolder() + L"extension\\tonquil.dll", folder + name));
    ResetLog(folder, L"extension-calls.log");
    NativeFirst nativeFirst;
    RunningPlayer player = StartPlayer(folder);
    ASSERT_NE(nullptr, player.window);

    EXPECT_NE(0, SendMessageW(player.window, 0x811F, 0, 0)); // CM_INITAUDIO: the engine loads

    EXPECT_EQ(0, CloseAndWait(player));
    EXPECT_TRUE(ReadLog(folder, L"extension-calls.log").empty());
}
