// Loading and unloading: the window's settings, the media keys, and what is
// left when the player lets the module go.
#include "module_window.h"

#include "player_window.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <commctrl.h>

namespace {

const UINT MediaKeys[] = {VK_MEDIA_PLAY_PAUSE, VK_MEDIA_NEXT_TRACK, VK_MEDIA_PREV_TRACK,
                          VK_MEDIA_STOP};

// 1 for each media key this test can take for itself (and gives back).
std::vector<int> FreeMediaKeys() {
    std::vector<int> free;
    for (UINT key : MediaKeys) {
        bool taken = RegisterHotKey(NULL, 0x7000, 0, key) != 0;
        if (taken)
            UnregisterHotKey(NULL, 0x7000);
        free.push_back(taken);
    }
    return free;
}

// A disk that fills while the window's settings are written: the profile
// write of the key "Bottom" leaves the file it writes cut in half and fails.
BOOL WINAPI WriteUntilTheDiskIsFull(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR path) {
    if (!key || lstrcmpW(key, L"Bottom") != 0)
        return WritePrivateProfileStringW(section, key, value, path);
    WritePrivateProfileStringW(NULL, NULL, NULL, path);
    std::string bytes = ReadBytes(path);
    WriteBytes(path, bytes.substr(0, bytes.size() / 2));
    return FALSE;
}

} // namespace

// The player's sections come after the window's, so a cut file loses them.
TEST_F(ModuleWindow, SettingsThatCannotBeWrittenWholeLeaveTheFileAsItWas) {
    const std::string settings = "[Window]\r\nLeft=10\r\nTop=20\r\nRight=700\r\nBottom=500\r\n"
                                 "[TaskTray]\r\nElapse=300\r\n";
    std::wstring ini = TestFolder() + L"tonquil.ini";
    ASSERT_TRUE(WriteBytes(ini, settings));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    void **hook = ModuleHook("ProfileWriteCall");
    ASSERT_NE(nullptr, hook);
    *hook = (void *)WriteUntilTheDiskIsFull;
    SetWindowPos(window, NULL, 40, 50, 640, 480, SWP_NOZORDER);
    ClosePlayerWindow(player);
    std::string after = ReadBytes(ini);
    EXPECT_NE(std::string::npos, after.find("Elapse=300")) << after;
    EXPECT_NE(std::string::npos, after.find("Left=10\r\n")) << after;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((ini + L".tmp").c_str()));
}

TEST_F(ModuleWindow, UnloadLeavesNoWindowHotKeyOrCodeBehind) {
    WritePlaylist(MakeTracks(2));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    ASSERT_NE(nullptr, GetModuleHandleW(L"tonquil.dll"));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), FreeMediaKeys());

    ClosePlayerWindow(player);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, FindModuleWindow());
    EXPECT_EQ(nullptr, GetModuleHandleW(L"tonquil.dll"));
    EXPECT_EQ((std::vector<int>{1, 1, 1, 1}), FreeMediaKeys());
    // Anything the module left queued or timed would now run into freed code.
    PumpFor(700);

    std::string ini = ReadBytes(TestFolder() + L"tonquil.ini");
    EXPECT_NE(std::string::npos, ini.find("[Client]"));
    EXPECT_NE(std::string::npos, ini.find("[Window]"));
    EXPECT_NE(std::string::npos, ini.find("MediaKeys=1"));
}

TEST_F(ModuleWindow, AMediaKeyHeldElsewhereIsLeftToItAndTheOthersWork) {
    std::vector<std::wstring> tracks = MakeTracks(3);
    WritePlaylist(tracks);
    ASSERT_TRUE(RegisterHotKey(NULL, 0x7001, 0, VK_MEDIA_NEXT_TRACK));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(Contains(StatusText(window, 0), L"次の曲")) << Utf8(StatusText(window, 0));
    UnregisterHotKey(NULL, 0x7001);
    EXPECT_EQ((std::vector<int>{0, 1, 0, 0}), FreeMediaKeys());

    // The keys as they arrive: play/pause toggles, stop stops.
    SendMessageW(window, WM_HOTKEY, 1, MAKELPARAM(0, VK_MEDIA_PLAY_PAUSE));
    PumpMessages();
    EXPECT_EQ(std::vector<std::wstring>{tracks[0]}, OpenedPaths());
    SendMessageW(window, WM_HOTKEY, 1, MAKELPARAM(0, VK_MEDIA_PLAY_PAUSE));
    std::vector<std::string> log = ReadLog(TestFolder(), L"bass-calls.log");
    EXPECT_EQ(1u, LogLinesStarting(log, "BASS_ChannelPause(").size());
    SendMessageW(window, WM_HOTKEY, 3, MAKELPARAM(0, VK_MEDIA_PREV_TRACK));
    SendMessageW(window, WM_HOTKEY, 4, MAKELPARAM(0, VK_MEDIA_STOP));
    log = ReadLog(TestFolder(), L"bass-calls.log");
    EXPECT_FALSE(LogLinesStarting(log, "BASS_ChannelStop(").empty());
}

TEST_F(ModuleWindow, MediaKeysCanBeTurnedOff) {
    WritePlaylist(MakeTracks(1));
    WriteBytes(TestFolder() + L"tonquil.ini", "[Window]\r\nMediaKeys=0\r\n");
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ((std::vector<int>{1, 1, 1, 1}), FreeMediaKeys());
    ClosePlayerWindow(player);
    EXPECT_NE(std::string::npos, ReadBytes(TestFolder() + L"tonquil.ini").find("MediaKeys=0"));
}

TEST_F(ModuleWindow, PlaceAndColumnsSurviveAReloadAndBadValuesAreIgnored) {
    WritePlaylist(MakeTracks(1));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    HWND list = Control(window, IDC_LIST);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, 333);
    SetWindowPos(window, NULL, 40, 50, 640, 480, SWP_NOZORDER);
    ClosePlayerWindow(player);

    window = StartAndShow();
    ASSERT_NE(nullptr, window);
    RECT place;
    GetWindowRect(window, &place);
    EXPECT_EQ(40, place.left);
    EXPECT_EQ(50, place.top);
    EXPECT_EQ(640, place.right - place.left);
    EXPECT_EQ(480, place.bottom - place.top);
    EXPECT_EQ(333, SendMessageW(Control(window, IDC_LIST), LVM_GETCOLUMNWIDTH, 1, 0));
    ClosePlayerWindow(player);

    WriteBytes(TestFolder() + L"tonquil.ini",
               "[Window]\r\nLeft=x\r\nTop=0\r\nRight=-5\r\nBottom=99999999999\r\n"
               "NameWidth=-3\r\nMediaKeys=7\r\n");
    window = StartAndShow();
    ASSERT_NE(nullptr, window);
    GetWindowRect(window, &place);
    EXPECT_GT(place.right - place.left, 300);
    EXPECT_GT(SendMessageW(Control(window, IDC_LIST), LVM_GETCOLUMNWIDTH, 1, 0), 0);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), FreeMediaKeys());
}

TEST_F(ModuleWindow, TheRealPlayerShowsTheWindowPlaysTheChosenRowAndUnloadsItAtClose) {
    std::vector<std::wstring> tracks = MakeTracks(3);
    std::string list;
    for (const std::wstring &track : tracks)
        list += AnsiBytes(track) + "\r\n";
    std::wstring folder = RealPlayerFolder(list);

    HANDLE process = StartProcess(folder + L"tonquil.exe", L"");
    ASSERT_NE(nullptr, process);
    DWORD id = GetProcessId(process);
    HWND main = WaitForWindow(L"Tonquil", id, 10000);
    ASSERT_NE(nullptr, main);
    SendMessageW(main, WM_COMMAND, IDM_SHOWWINDOW, 0);
    HWND window = WaitForWindow(WINDOW_CLASS_NAME, id, 10000);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(IsWindowVisible(window));
    HWND rows = Control(window, IDC_LIST);
    EXPECT_EQ(3, RowCount(rows));

    // The keyboard reaches the list across processes: the second row plays.
    ResetLog(folder, L"bass-calls.log");
    PostMessageW(rows, WM_KEYDOWN, VK_HOME, 0);
    PostMessageW(rows, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(rows, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(1u, WaitForOpen(folder, tracks[1]));
    EXPECT_EQ(1, (int)SendMessageW(main, CM_GETTRACKNO, 0, 0));

    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        TerminateProcess(process, 1);
    CloseHandle(process);
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(IsWindow(window));
    std::string ini = ReadBytes(folder + L"tonquil.ini");
    EXPECT_NE(std::string::npos, ini.find("[Client]"));
    EXPECT_NE(std::string::npos, ini.find("[Window]"));
}
