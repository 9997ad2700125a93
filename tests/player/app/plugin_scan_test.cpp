#include <gtest/gtest.h>

#include "player_window.h"
#include "test_support.h"
#include "player/playback/audio_library.h"

#include <string>

namespace {

int CountPlugins() {
    int count = 0;
    for (PLUGINNODE *node = PluginList ? PluginList->Next : NULL; node; node = node->Next)
        ++count;
    return count;
}

} // namespace

TEST(PluginScan, HundredsOfForeignDllsAreOfferedAndRefusedQuietly) {
    std::wstring folder = TestFolder();
    for (int i = 0; i < 300; ++i)
        WriteBytes(folder + L"junk" + std::to_wstring(i) + L".dll", "not a plug-in");
    WriteBytes(folder + L"bassplug_one.dll", "plug-in");
    ResetLog(folder, L"bass-calls.log");

    HWND window = StartPlayerWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_NE(nullptr, InitAudioLibrary(window));
    LoadPlugins();
    EXPECT_EQ(1, CountPlugins());
    // Offered once each: a second scan does nothing while plug-ins are held.
    LoadPlugins();
    EXPECT_EQ(302u,
              LogLinesStarting(ReadLog(folder, L"bass-calls.log"), "BASS_PluginLoad(").size());
    ClosePlayerWindow(window);

    for (int i = 0; i < 300; ++i)
        DeletePath(folder + L"junk" + std::to_wstring(i) + L".dll");
    DeletePath(folder + L"bassplug_one.dll");
    DeletePath(folder + L"bass-calls.log");
}
