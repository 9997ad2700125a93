// The real tonquil.exe, started under Wine in a folder of its own.
#include <gtest/gtest.h>

#include "running_player.h"
#include "test_support.h"

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
