// The real tonquil.exe, started under Wine in a folder of its own.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

// A folder holding a copy of the player and whatever the test adds.
std::wstring PlayerFolder(const wchar_t *name) {
    std::wstring folder = MakeScratchFolder(name);
    EXPECT_TRUE(CopyInto(BinFolder() + L"tonquil.exe", folder + L"tonquil.exe"));
    return folder;
}

struct RunningPlayer {
    HANDLE process;
    HWND window;
};

RunningPlayer StartPlayer(const std::wstring &folder, const std::wstring &arguments = L"") {
    RunningPlayer player = {StartProcess(folder + L"tonquil.exe", arguments), NULL};
    if (player.process)
        player.window = WaitForWindow(L"Tonquil", GetProcessId(player.process), 10000);
    return player;
}

int CloseAndWait(RunningPlayer &player) {
    PostMessageW(player.window, WM_CLOSE, 0, 0);
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(player.process, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(player.process, &code);
    else
        TerminateProcess(player.process, 1);
    CloseHandle(player.process);
    return (int)code;
}

int CountPlayerWindows() {
    int count = 0;
    for (HWND window = FindWindowW(L"Tonquil", NULL); window;
         window = FindWindowExW(NULL, window, L"Tonquil", NULL))
        ++count;
    return count;
}

} // namespace

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
