// The command line of a second start: the option search, the order of the
// options, and the forwarding to a real running tonquil.exe.
#include <gtest/gtest.h>

#include "running_player.h"
#include "test_support.h"
#include "player/app/command_line.h"
#include "tonquil_extension.h"

#include <string>

namespace {

// What the player makes of a whole command line as the user typed it.
int CommandFor(const std::wstring &line) {
    std::wstring lower = line;
    if (!lower.empty())
        CharLowerBuffW(&lower[0], (DWORD)lower.size());
    return CommandForLine(lower.c_str());
}

// A player folder with the recording audio library and a playlist of three
// tracks that the library double opens.
std::wstring ForwardingFolder(const wchar_t *name) {
    std::wstring folder = PlayerFolder(name);
    CopyInto(TestFolder() + L"bass.dll", folder + L"bass.dll");
    std::string playlist;
    for (const wchar_t *track : {L"one.mp3", L"two.mp3", L"three.mp3"}) {
        WriteBytes(folder + track, "audio");
        playlist += Utf8(folder + track) + "\r\n";
    }
    WriteBytes(folder + L"tonquil.m3u", playlist);
    ResetLog(folder, L"bass-calls.log");
    return folder;
}

size_t CountCalls(const std::wstring &folder, const char *call) {
    return LogLinesStarting(ReadLog(folder, L"bass-calls.log"), call).size();
}

std::string LastCall(const std::wstring &folder) {
    std::vector<std::string> log = ReadLog(folder, L"bass-calls.log");
    return log.empty() ? std::string() : log.back();
}

int Forward(const std::wstring &folder, const wchar_t *arguments) {
    return RunAndWait(folder + L"tonquil.exe", arguments, 10000);
}

} // namespace

TEST(FindOption, FindsTheOptionAnywhereAndOnlyWhole) {
    EXPECT_GE(FindOption(L"x.exe /exit", L"/exit"), 0);
    EXPECT_GE(FindOption(L"x.exe abc/exit", L"/exit"), 0);
    EXPECT_GE(FindOption(L"x.exe /stoppage", L"/stop"), 0);
    EXPECT_GE(FindOption(L"/play", L"/play"), 0);
    EXPECT_EQ(-1, FindOption(L"x.exe /pl", L"/play"));
    EXPECT_EQ(-1, FindOption(L"x.exe -play", L"/play"));
    EXPECT_EQ(-1, FindOption(L"x.exe /pla", L"/play"));
    EXPECT_EQ(-1, FindOption(L"", L"/play"));
    EXPECT_EQ(-1, FindOption(L"x.exe /PLAY", L"/play")); // the caller lower-cases first
}

TEST(FindOption, ResumesAtTheCharacterThatDiffered) {
    // The slash that ends a partial match starts the real one.
    EXPECT_GE(FindOption(L"/p/play", L"/play"), 0);
    EXPECT_GE(FindOption(L"//play", L"/play"), 0);
    EXPECT_GE(FindOption(L"/pla/playnext", L"/playnext"), 0);
    EXPECT_EQ(-1, FindOption(L"/playnex/playne", L"/playnext"));
}

TEST(FindOption, MissingTextOrOptionIsNotFound) {
    EXPECT_EQ(-1, FindOption(NULL, L"/play"));
    EXPECT_EQ(-1, FindOption(L"x.exe /play", NULL));
    EXPECT_EQ(-1, FindOption(NULL, NULL));
    EXPECT_EQ(0, CommandForLine(NULL));
}

TEST(FindOption, HugeTextsAndOptions) {
    std::wstring slashes(32000, L'/');
    EXPECT_EQ(-1, FindOption(slashes.c_str(), L"/play"));
    EXPECT_EQ(0, CommandFor(slashes));
    EXPECT_EQ(IDM_EXIT, CommandFor(slashes + L"exit"));
    EXPECT_GE(FindOption(slashes.c_str(), slashes.c_str()), 0);
    EXPECT_EQ(-1, FindOption(L"x.exe /play", slashes.c_str()));
    EXPECT_EQ(-1, FindOption(slashes.c_str(), (slashes + L"/").c_str()));

    std::wstring longOption = L"/" + std::wstring(31999, L'p');
    std::wstring text = L"x.exe " + longOption;
    EXPECT_GE(FindOption(text.c_str(), longOption.c_str()), 0);
    text.back() = L'q';
    EXPECT_EQ(-1, FindOption(text.c_str(), longOption.c_str()));
}

TEST(CommandLine, EveryOptionSendsItsCommand) {
    const struct {
        const wchar_t *line;
        int command;
    } cases[] = {
        {L"x.exe /about", IDM_ABOUT},           {L"x.exe /exit", IDM_EXIT},
        {L"x.exe /pause", IDM_PAUSE},           {L"x.exe /playnext", IDM_PLAYNEXT},
        {L"x.exe /playprev", IDM_PLAYPREV},     {L"x.exe /play", IDM_PLAY},
        {L"x.exe /showwindow", IDM_SHOWWINDOW}, {L"x.exe /stop", IDM_STOP},
        {L"x.exe /trackmenu", IDM_TRACKMENU},   {L"x.exe /tracklist", IDM_TRACKLIST},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.command, CommandFor(c.line)) << Utf8(c.line);
}

TEST(CommandLine, CaseOrderAndFusedOptions) {
    const struct {
        const wchar_t *line;
        int command;
    } cases[] = {
        {L"x.exe /PLAY", IDM_PLAY},
        {L"x.exe /Play", IDM_PLAY},
        {L"X.EXE /PlayNext", IDM_PLAYNEXT},
        {L"x.exe /PlayPrev", IDM_PLAYPREV},
        {L"x.exe /play /playnext", IDM_PLAYNEXT},
        {L"x.exe /playnext /play", IDM_PLAYNEXT},
        {L"x.exe /playprev /playnext", IDM_PLAYNEXT},
        {L"x.exe /stoppage", IDM_STOP},
        {L"x.exe abc/exit", IDM_EXIT},
        {L"x.exe x/playlist", IDM_PLAY},
        {L"x.exe /stop /about", IDM_ABOUT},
        {L"x.exe /tracklist /trackmenu /pause", IDM_PAUSE},
        {L"c:/tools/pause/x.exe", IDM_PAUSE},
        {L"x.exe /pl", 0},
        {L"x.exe -play", 0},
        {L"x.exe \\play", 0},
        {L"x.exe", 0},
        {L"", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.command, CommandFor(c.line)) << Utf8(c.line);
}

TEST(Forwarding, TheRunningPlayerCarriesOutTheCommandAndTheSecondStartEndsWithZero) {
    std::wstring folder = ForwardingFolder(L"forward");
    RunningPlayer player = StartPlayer(folder);
    ASSERT_NE(nullptr, player.window);
    ASSERT_EQ(player.window, FindWindowW(L"Tonquil", NULL));

    EXPECT_EQ(0, Forward(folder, L"/PLAY"));
    EXPECT_EQ(1u, CountCalls(folder, "BASS_ChannelPlay("));
    EXPECT_EQ(0, SendMessageW(player.window, CM_GETTRACKNO, 0, 0));

    EXPECT_EQ(0, Forward(folder, L"/PlayNext"));
    EXPECT_EQ(1, SendMessageW(player.window, CM_GETTRACKNO, 0, 0));
    EXPECT_EQ(0, Forward(folder, L"/playnext /play"));
    EXPECT_EQ(2, SendMessageW(player.window, CM_GETTRACKNO, 0, 0));
    EXPECT_EQ(0, Forward(folder, L"/PLAYPREV"));
    EXPECT_EQ(1, SendMessageW(player.window, CM_GETTRACKNO, 0, 0));
    EXPECT_EQ(4u, CountCalls(folder, "BASS_ChannelPlay("));

    EXPECT_EQ(0, Forward(folder, L"/Pause"));
    EXPECT_EQ(0u, LastCall(folder).find("BASS_ChannelPause("));
    EXPECT_EQ(0, Forward(folder, L"/stoppage"));
    EXPECT_EQ(0u, LastCall(folder).find("BASS_ChannelStop("));

    EXPECT_EQ(0, CloseAndWait(player));
}

TEST(Forwarding, NothingIsSentWithoutAnOption) {
    std::wstring folder = ForwardingFolder(L"forward-none");
    RunningPlayer player = StartPlayer(folder);
    ASSERT_NE(nullptr, player.window);
    size_t before = ReadLog(folder, L"bass-calls.log").size();

    EXPECT_EQ(0, Forward(folder, L""));
    EXPECT_EQ(0, Forward(folder, L"-play /pl \\exit"));
    EXPECT_EQ(0, Forward(folder, std::wstring(32000, L'/').c_str()));

    EXPECT_EQ(before, ReadLog(folder, L"bass-calls.log").size());
    EXPECT_TRUE(IsWindow(player.window));
    EXPECT_EQ(0, CloseAndWait(player));
}

TEST(Forwarding, ExitClosesTheRunningPlayerAndItsSettingsAreWritten) {
    std::wstring folder = ForwardingFolder(L"forward-exit");
    RunningPlayer player = StartPlayer(folder);
    ASSERT_NE(nullptr, player.window);
    // Integers only: any process may send these.
    EXPECT_EQ(1, SendMessageW(player.window, CM_SETVOLUME, 37, 0));
    EXPECT_EQ(1, SendMessageW(player.window, CM_SETMUTE, 3, 0));
    EXPECT_EQ(1, SendMessageW(player.window, CM_SETPLAYMODE, 2, 0));
    EXPECT_EQ(1, SendMessageW(player.window, CM_SETSHOWINFO, 2, 0));
    EXPECT_EQ(1, SendMessageW(player.window, CM_SETSAMPLEBIT, 256, 0));
    EXPECT_EQ(0, Forward(folder, L"/PlayNext"));
    LRESULT trackNo = SendMessageW(player.window, CM_GETTRACKNO, 0, 0);

    EXPECT_EQ(0, Forward(folder, L"x.exe /EXIT"));
    EXPECT_EQ(0, WaitForExit(player));
    EXPECT_EQ(0, CountPlayerWindows());

    WCHAR ini[MAX_PATH];
    lstrcpynW(ini, (folder + L"tonquil.ini").c_str(), MAX_PATH);
    const struct {
        const wchar_t *key;
        int value;
    } written[] = {{L"Mute", 3},        {L"PlayMode", 2},           {L"ShowInfo", 2},
                   {L"SampleBit", 256}, {L"TrackNo", (int)trackNo}, {L"Volume", 37}};
    for (const auto &w : written)
        EXPECT_EQ(w.value, (int)GetPrivateProfileIntW(L"Client", w.key, -999, ini)) << Utf8(w.key);
}

TEST(Forwarding, ShowWindowReachesTheModuleOfTheRunningPlayer) {
    std::wstring folder = ForwardingFolder(L"forward-show");
    CopyInto(DoublesFolder() + L"extension\\tonquil.dll", folder + L"tonquil.dll");
    ResetLog(folder, L"extension-calls.log");
    RunningPlayer player = StartPlayer(folder);
    ASSERT_NE(nullptr, player.window);

    EXPECT_EQ(0, Forward(folder, L"/ShowWindow"));
    EXPECT_EQ(0, Forward(folder, L"/showwindow"));
    std::vector<std::string> log = ReadLog(folder, L"extension-calls.log");
    EXPECT_EQ(1u, LogLinesStarting(log, "0x8101 ").size());
    EXPECT_EQ(2u, LogLinesStarting(log, "0x8103 0 0 main").size());
    EXPECT_EQ(0, CloseAndWait(player));
}

TEST(Forwarding, TheFirstInstanceIgnoresItsOwnCommandLine) {
    std::wstring folder = ForwardingFolder(L"forward-first");
    RunningPlayer player = StartPlayer(folder, L"/play /exit");
    ASSERT_NE(nullptr, player.window);
    // A marker posted behind whatever the start posted: had the options been
    // acted on, the play or the close would have come before it.
    ASSERT_TRUE(PostMessageW(player.window, CM_SETVOLUME, 37, 0));
    WaitUntil([&] { return SendMessageW(player.window, CM_GETVOLUME, 0, 0) == 37; }, 10000);
    EXPECT_EQ(37, SendMessageW(player.window, CM_GETVOLUME, 0, 0));
    EXPECT_TRUE(IsWindow(player.window));
    EXPECT_EQ(0u, CountCalls(folder, "BASS_"));
    EXPECT_EQ(0, CloseAndWait(player));
}

namespace {

// A window of the player's class whose thread stops taking messages.
struct HungPlayer {
    HANDLE ready;
    HANDLE release;
    HWND window;
};

DWORD WINAPI RunHungPlayer(void *parameter) {
    HungPlayer *hung = (HungPlayer *)parameter;
    hung->window = CreateWindowExW(0, L"Tonquil", NULL, 0, 0, 0, 0, 0, NULL, NULL,
                                   GetModuleHandleW(NULL), NULL);
    SetEvent(hung->ready);
    WaitForSingleObject(hung->release, INFINITE);
    DestroyWindow(hung->window);
    return 0;
}

HWND FindAboutBox(DWORD processId) {
    for (int i = 0; i < 100; ++i) {
        HWND box = WaitForWindow(L"#32770", processId, 100);
        if (box)
            return box;
    }
    return NULL;
}

} // namespace

// A second start waits for the running player only so long: a player whose
// thread takes no messages is given up, while one that shows its About box
// still takes the command.
TEST(Forwarding, AHungPlayerIsGivenUpButAnOpenAboutBoxStillTakesTheCommand) {
    std::wstring folder = ForwardingFolder(L"forward-about");
    RunningPlayer player = StartPlayer(folder);
    ASSERT_NE(nullptr, player.window);
    PostMessageW(player.window, WM_COMMAND, IDM_ABOUT, 0);
    HWND box = FindAboutBox(GetProcessId(player.process));
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(0, Forward(folder, L"/playnext"));
    EXPECT_EQ(1u, CountCalls(folder, "BASS_ChannelPlay("));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0, CloseAndWait(player));

    HANDLE mutex = CreateMutexW(NULL, FALSE, L"TONQUILMUTEX");
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"Tonquil";
    UnregisterClassW(L"Tonquil", windowClass.hInstance);
    ASSERT_TRUE(RegisterClassExW(&windowClass));
    HungPlayer hung = {CreateEventW(NULL, TRUE, FALSE, NULL), CreateEventW(NULL, TRUE, FALSE, NULL),
                       NULL};
    HANDLE thread = CreateThread(NULL, 0, RunHungPlayer, &hung, 0, NULL);
    WaitForSingleObject(hung.ready, INFINITE);

    EXPECT_EQ(0, RunAndWait(folder + L"tonquil.exe", L"/playnext", 30000));

    SetEvent(hung.release);
    WaitForSingleObject(thread, INFINITE);
    for (HANDLE handle : {thread, hung.ready, hung.release, mutex})
        CloseHandle(handle);
    UnregisterClassW(L"Tonquil", windowClass.hInstance);
}
