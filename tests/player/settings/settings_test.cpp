// tonquil.ini beside the test executable, read when the real main window is
// created and partly written back when it closes.
#include <gtest/gtest.h>

#include "player/core/player_state.h"
#include "player_window.h"
#include "player/settings/settings.h"
#include "test_support.h"
#include "tonquil_extension.h"
#include "player/tray/tray_icon.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The shell's tray is not what these tests are about, and asking Wine's
// costs a second per request.
BOOL WINAPI IgnoreTrayRequest(DWORD, PNOTIFYICONDATAW) {
    return TRUE;
}

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = TestFolder() + L"tonquil.ini";
        DeletePath(ini);
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
        NotifyIconCall = IgnoreTrayRequest;
    }

    void TearDown() override {
        ClosePlayerWindow(window);
        // Closing writes the file; no other test may see it.
        DeletePath(ini);
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
        NotifyIconCall = Shell_NotifyIconW;
    }

    // Writes the file (unless bytes is empty) and creates the window, which
    // reads it.
    void Start(const std::string &bytes) {
        if (!bytes.empty()) {
            ASSERT_TRUE(WriteBytes(ini, bytes));
        }
        window = StartPlayerWindow();
        ASSERT_NE(nullptr, window);
    }

    void Close() {
        ClosePlayerWindow(window);
        window = NULL;
    }

    // The ids of the WM_COMMANDs waiting in the queue, taken out of it.
    std::vector<WPARAM> TakePostedCommands() {
        std::vector<WPARAM> ids;
        MSG message;
        while (PeekMessageW(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            ids.push_back(message.wParam);
        return ids;
    }

    // The lines of the file's section, in file order.
    std::vector<std::string> SectionLines(const std::string &section) {
        std::vector<std::string> lines;
        bool inside = false;
        for (const std::string &line : ReadLog(TestFolder(), L"tonquil.ini")) {
            if (!line.empty() && line[0] == '[')
                inside = line == "[" + section + "]";
            else if (inside && !line.empty())
                lines.push_back(line);
        }
        return lines;
    }

    std::wstring ini;
    HWND window = NULL;
};

} // namespace

TEST_F(SettingsTest, WithoutAFileEveryFieldTakesItsDefaultAndPriorityIsSetToNormal) {
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
    Start("");

    const PLAYERSTATE &state = *PlayerState;
    EXPECT_EQ(1, state.FreeAddOn);
    EXPECT_EQ(0, state.Mute);
    EXPECT_EQ(1, state.PlayMode);
    EXPECT_EQ(0, state.SampleBit);
    EXPECT_EQ(0, state.ShowInfo);
    EXPECT_EQ(0, state.Channel);
    EXPECT_EQ(20, state.TrackCount);
    EXPECT_EQ(0, state.TrackNo);
    EXPECT_EQ(1, state.TrackStyle);
    EXPECT_EQ(100, state.Volume);
    const TRAYCONFIG &tray = *TrayConfig;
    EXPECT_EQ(IDM_TRACKLIST, tray.LBtnClk);
    EXPECT_EQ(IDM_TRACKMENU, tray.RBtnClk);
    EXPECT_EQ(0, tray.MBtnClk);
    EXPECT_EQ(IDM_PLAYNEXT, tray.LBtnDblClk);
    EXPECT_EQ(0, tray.RBtnDblClk);
    EXPECT_EQ(0, tray.MBtnDblClk);
    EXPECT_EQ(0, tray.LastButtonUp);
    EXPECT_EQ(130, tray.Elapse); // not the 120 of creation
    EXPECT_TRUE(TakePostedCommands().empty());
    EXPECT_EQ((DWORD)NORMAL_PRIORITY_CLASS, GetPriorityClass(GetCurrentProcess()));
}

TEST_F(SettingsTest, EachKeyIsStoredOnlyWhenItPassesItsTest) {
    struct Case {
        const char *section, *key, *text;
        LONG *(*field)();
        LONG expected;
    };
#define P(member) [] { return &PlayerState->member; }
#define T(member) [] { return &TrayConfig->member; }
    const Case cases[] = {
        {"Client", "Volume", "150", P(Volume), 100},
        {"Client", "Volume", "-5", P(Volume), 100},
        {"Client", "Volume", "3000000000", P(Volume), 100},
        {"Client", "Volume", "0", P(Volume), 0},
        {"Client", "Volume", "", P(Volume), 0},
        {"Client", "Volume", "55%", P(Volume), 55},
        {"TaskTray", "Volume", "5", P(Volume), 100},
        {"Client", "PlayMode", "x2", P(PlayMode), 2},
        {"Client", "PlayMode", "5", P(PlayMode), 1},
        {"Client", "PlayMode", "-1", P(PlayMode), 1},
        {"Client", "PlayMode", "0", P(PlayMode), 0},
        {"Client", "SampleBit", "256", P(SampleBit), 256},
        {"Client", "SampleBit", "2", P(SampleBit), 2},
        {"Client", "SampleBit", "3", P(SampleBit), 0},
        {"Client", "ShowInfo", "2", P(ShowInfo), 2},
        {"Client", "ShowInfo", "3", P(ShowInfo), 0},
        {"Client", "TrackCount", "100", P(TrackCount), 100},
        {"Client", "TrackCount", "101", P(TrackCount), 20},
        {"Client", "TrackCount", "0", P(TrackCount), 0},
        {"Client", "TrackStyle", "0", P(TrackStyle), 0},
        {"Client", "TrackStyle", "2", P(TrackStyle), 1},
        {"Client", "TrackNo", "-3", P(TrackNo), -3},
        {"Client", "TrackNo", "4294967296", P(TrackNo), 0},
        {"Client", "Mute", "7", P(Mute), 7},
        {"Client", "FreeAddOn", "0", P(FreeAddOn), 0},
        {"Client", "FreeAddOn", "", P(FreeAddOn), 0},
        {"TaskTray", "Elapse", "", T(Elapse), 0},
        {"TaskTray", "Elapse", "1a2", T(Elapse), 12},
        {"Client", "Elapse", "500", T(Elapse), 130},
        {"TaskTray", "LBtnClk", "0", T(LBtnClk), 0},
        {"TaskTray", "LBtnDblClk", "9999", T(LBtnDblClk), 9999},
        {"TaskTray", "RBtnClk", "-1", T(RBtnClk), -1},
        {"TaskTray", "RBtnDblClk", "263", T(RBtnDblClk), 263},
        {"TaskTray", "MBtnClk", "259", T(MBtnClk), 259},
        {"TaskTray", "MBtnDblClk", "1280", T(MBtnDblClk), 1280},
    };
#undef P
#undef T
    for (const Case &c : cases) {
        Start(std::string("[") + c.section + "]\r\n" + c.key + "=" + c.text + "\r\n");
        EXPECT_EQ(c.expected, *c.field()) << c.section << " " << c.key << "=" << c.text;
        Close();
        DeletePath(ini);
    }
}

TEST_F(SettingsTest, PlayAtStartIsPostedBeforeShowWindow) {
    Start("[Client]\r\nShowWnd=1\r\nPlayRun=1\r\n");
    EXPECT_EQ((std::vector<WPARAM>{IDM_PLAY, IDM_SHOWWINDOW}), TakePostedCommands());
    Close();

    Start("[Client]\r\nShowWnd=x5\r\nPlayRun=none\r\n");
    EXPECT_EQ(std::vector<WPARAM>{IDM_SHOWWINDOW}, TakePostedCommands());
    Close();

    Start("[Client]\r\nPlayRun=-1\r\nShowWnd=0\r\n");
    EXPECT_EQ(std::vector<WPARAM>{IDM_PLAY}, TakePostedCommands());
}

TEST_F(SettingsTest, OnlyIdleNormalAndHighPriorityAreApplied) {
    struct Case {
        const char *text;
        DWORD before, after;
    } cases[] = {
        {"64", NORMAL_PRIORITY_CLASS, IDLE_PRIORITY_CLASS},
        {"128", NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS},
        {"32", IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS},
        {"256", IDLE_PRIORITY_CLASS, IDLE_PRIORITY_CLASS},
        {"16384", IDLE_PRIORITY_CLASS, IDLE_PRIORITY_CLASS},
        {"0", HIGH_PRIORITY_CLASS, HIGH_PRIORITY_CLASS},
    };
    for (const Case &c : cases) {
        SetPriorityClass(GetCurrentProcess(), c.before);
        Start(std::string("[Client]\r\nPriority=") + c.text + "\r\n");
        EXPECT_EQ(c.after, GetPriorityClass(GetCurrentProcess())) << c.text;
        Close();
        DeletePath(ini);
    }
}

// Whether the settings file existed when the shell was asked to delete the icon.
int FileAtIconDelete = -1;

BOOL WINAPI NoteFileAtIconDelete(DWORD message, PNOTIFYICONDATAW) {
    if (message == NIM_DELETE)
        FileAtIconDelete =
            GetFileAttributesW((TestFolder() + L"tonquil.ini").c_str()) != INVALID_FILE_ATTRIBUTES;
    return TRUE;
}

TEST_F(SettingsTest, CloseWritesTheSixKeysInTheirOrderIntoANewFileAfterTheIconIsGone) {
    NotifyIconCall = NoteFileAtIconDelete;
    FileAtIconDelete = -1;
    Start("");
    PlayerState->TrackNo = -3; // written as it stands, out of range or not
    PlayerState->SampleBit = SAMPLE_FLOAT;
    Close();

    std::vector<std::string> expected = {"Mute=0",        "PlayMode=1", "ShowInfo=0",
                                         "SampleBit=256", "TrackNo=-3", "Volume=100"};
    EXPECT_EQ(expected, SectionLines("Client"));
    EXPECT_EQ(std::string::npos, ReadBytes(ini).find("[TaskTray]"));
    EXPECT_EQ(0, FileAtIconDelete);
}

TEST_F(SettingsTest, CloseReplacesTheSixValuesAndKeepsEverythingElse) {
    Start("; a note\r\n[TaskTray]\r\nElapse=300\r\n[Client]\r\nVolume=30\r\nExtra=kept\r\n"
          "TrackNo=-3\r\nPlayMode=2\r\n[Other]\r\nMute=9\r\n");
    EXPECT_EQ(-3, PlayerState->TrackNo);
    PlayerState->Mute = 1;
    PlayerState->Volume = 45;
    Close();

    std::vector<std::string> client = {"Volume=45", "Extra=kept", "TrackNo=-3", "PlayMode=2",
                                       "Mute=1",    "ShowInfo=0", "SampleBit=0"};
    EXPECT_EQ(client, SectionLines("Client"));
    EXPECT_EQ(std::vector<std::string>{"Elapse=300"}, SectionLines("TaskTray"));
    EXPECT_EQ(std::vector<std::string>{"Mute=9"}, SectionLines("Other"));
    EXPECT_NE(std::string::npos, ReadBytes(ini).find("; a note"));
}

TEST_F(SettingsTest, EndOfSessionWritesOnceAndOnlyWhenTheSessionEnds) {
    Start("");
    SendMessageW(window, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(ini.c_str()));

    PlayerState->Volume = 12;
    EXPECT_EQ(0, SendMessageW(window, WM_ENDSESSION, TRUE, 0));
    EXPECT_EQ(std::vector<std::string>(
                  {"Mute=0", "PlayMode=1", "ShowInfo=0", "SampleBit=0", "TrackNo=0", "Volume=12"}),
              SectionLines("Client"));

    DeletePath(ini);
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(ini.c_str()));
    EXPECT_TRUE(IsWindow(window));

    // A normal close afterwards still writes.
    Close();
    EXPECT_EQ(std::vector<std::string>(
                  {"Mute=0", "PlayMode=1", "ShowInfo=0", "SampleBit=0", "TrackNo=0", "Volume=12"}),
              SectionLines("Client"));
}

TEST_F(SettingsTest, AHugeFileIsReadToItsEnd) {
    std::string bytes = "[Client]\r\nVolume=42\r\n[Filler]\r\n";
    for (int i = 0; bytes.size() < 8 * 1024 * 1024; ++i)
        bytes += "Key" + std::to_string(i) + "=some value that takes up room\r\n";
    bytes += "[TaskTray]\r\nElapse=77\r\n";
    Start(bytes);
    EXPECT_EQ(42, PlayerState->Volume);
    EXPECT_EQ(77, TrayConfig->Elapse);
    Close();
    EXPECT_NE(std::string::npos, ReadBytes(ini).find("Key1000=some value"));
}

TEST_F(SettingsTest, BinaryContentGivesValuesInsideTheirSetsAndIsKept) {
    std::string bytes;
    for (int i = 0; i < 64 * 1024; ++i)
        bytes += (char)((i * 7919 + (i >> 8)) & 0xFF);
    Start(bytes);
    EXPECT_LE(0, PlayerState->Volume);
    EXPECT_GE(100, PlayerState->Volume);
    EXPECT_LE(0, PlayerState->PlayMode);
    EXPECT_GE(2, PlayerState->PlayMode);
    EXPECT_LE(0, PlayerState->TrackCount);
    EXPECT_GE(100, PlayerState->TrackCount);
    Close();
    EXPECT_FALSE(SectionLines("Client").empty());
}

TEST_F(SettingsTest, AUtf16FileIsReadAndWrittenBack) {
    std::wstring text = L"\xFEFF[Client]\r\nVolume=42\r\nPlayMode=0\r\n[\x97F3]\r\nKey=\x97F3\r\n";
    Start(std::string((const char *)text.data(), text.size() * sizeof(wchar_t)));
    EXPECT_EQ(42, PlayerState->Volume);
    EXPECT_EQ(0, PlayerState->PlayMode);
    PlayerState->Volume = 43;
    Close();

    std::string bytes = ReadBytes(ini);
    std::wstring back((const wchar_t *)bytes.data(), bytes.size() / sizeof(wchar_t));
    EXPECT_NE(std::wstring::npos, back.find(L"Volume=43"));
    EXPECT_NE(std::wstring::npos, back.find(L"Key=\x97F3"));
}

TEST_F(SettingsTest, AKeyOfTenThousandCharactersDisturbsNoOtherKey) {
    Start("[Client]\r\n" + std::string(10000, 'K') + "=1\r\nVolume=42\r\n" + "PlayMode=" +
          std::string(10000, '9') + "\r\nTrackNo=" + std::string(10000, '1') + "\r\n");
    EXPECT_EQ(42, PlayerState->Volume);
    EXPECT_EQ(1, PlayerState->PlayMode);
    // The value arrives cut to 259 characters.
    EXPECT_EQ(ParseLooseInt(std::wstring(259, L'1').c_str()), PlayerState->TrackNo);
    Close();
    EXPECT_NE(std::string::npos, ReadBytes(ini).find(std::string(10000, 'K') + "=1"));
}

namespace {

// The six keys as the close has always written them, through the same
// profile call, into a copy of the file as it was.
std::string AsTodaysCloseWrites(const std::string &before) {
    const std::wstring today = TestFolder() + L"today.ini";
    DeletePath(today);
    if (!before.empty())
        WriteBytes(today, before);
    const struct {
        const wchar_t *key;
        LONG value;
    } six[] = {{L"Mute", PlayerState->Mute},         {L"PlayMode", PlayerState->PlayMode},
               {L"ShowInfo", PlayerState->ShowInfo}, {L"SampleBit", PlayerState->SampleBit},
               {L"TrackNo", PlayerState->TrackNo},   {L"Volume", PlayerState->Volume}};
    for (const auto &key : six)
        WritePrivateProfileStringW(L"Client", key.key, std::to_wstring(key.value).c_str(),
                                   today.c_str());
    std::string bytes = ReadBytes(today);
    DeletePath(today);
    return bytes;
}

} // namespace

// With Resume and ReplayGain never used, the file comes out exactly as the
// six keys alone would leave it; the two keys are written once they are on,
// or when the file held them.
TEST_F(SettingsTest, WithResumeAndReplayGainUnusedTheFileIsWrittenAsBefore) {
    const std::string files[] = {
        "",
        "; kept\r\n[TaskTray]\r\nElapse=300\r\n[Client]\r\nVolume=30\r\nExtra=kept\r\n",
        "[Client]\r\nTrackNo=4\r\nPosition=777\r\n",
        "[Client]\r\nPlayMode=2\r\n[Other]\r\nResume=1\r\nReplayGain=2\r\n",
    };
    for (const std::string &before : files) {
        SCOPED_TRACE(before);
        DeletePath(ini);
        Start(before);
        PlayerState->Volume = 64; // a change of one of the six
        std::string expected = AsTodaysCloseWrites(before);
        Close();
        EXPECT_EQ(expected, ReadBytes(ini));
    }
}

TEST_F(SettingsTest, ResumeAndReplayGainAreWrittenWhenOnOrWhenTheFileHeldThem) {
    const struct Case {
        const char *file;
        LONG setResume, setGain; // by message before the close; -1: not sent
        const char *resume, *gain, *position;
    } cases[] = {
        {"", -1, 1, "absent", "1", "absent"},
        {"", 1, -1, "1", "absent", "0"},
        {"", 0, 0, "absent", "absent", "absent"},
        {"[Client]\r\nResume=1\r\nReplayGain=2\r\n", 0, 0, "0", "0", "absent"},
        {"[Client]\r\nReplayGain=2\r\n", -1, -1, "absent", "2", "absent"},
        {"[Client]\r\nResume=1\r\nPosition=4000\r\n", -1, 2, "1", "2", "4000"},
        // Refused values in the file read as 0; keys that were there are
        // written with it.
        {"[Client]\r\nReplayGain=7\r\nResume=\r\n", -1, -1, "0", "0", "absent"},
        {"[Client]\r\nResume=1\r\nPosition=-4000\r\n", -1, -1, "1", "absent", "0"},
        {"[Client]\r\nResume=on\r\nPosition=4000\r\n", -1, -1, "0", "absent", "4000"},
        // In another section they are not the player's.
        {"[TaskTray]\r\nResume=1\r\nReplayGain=1\r\n", -1, -1, "absent", "absent", "absent"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        DeletePath(ini);
        Start(c.file);
        if (c.setResume >= 0) {
            EXPECT_EQ(1, SendMessageW(window, CM_SETRESUME, c.setResume, 0));
        }
        if (c.setGain >= 0) {
            EXPECT_EQ(1, SendMessageW(window, CM_SETREPLAYGAIN, c.setGain, 0));
        }
        Close();
        EXPECT_EQ(c.resume, ClientValue(ini, L"Resume"));
        EXPECT_EQ(c.gain, ClientValue(ini, L"ReplayGain"));
        EXPECT_EQ(c.position, ClientValue(ini, L"Position"));
    }
}

// Runs only in a copy of this program placed by the test below, in a folder
// whose path leaves no room for "tonquil.ini" within 260 characters.
TEST(SettingsInADeepFolder, DISABLED_ReadsDefaultsAndWritesNothing) {
    NotifyIconCall = IgnoreTrayRequest;
    HWND window = StartPlayerWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(100, PlayerState->Volume);
    PlayerState->Volume = 7;
    ClosePlayerWindow(window);
}

std::vector<std::wstring> FilesIn(const std::wstring &folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// An empty folder of the given path length, made through the long-path
// prefix since it is past what the plain path routines take; what an earlier
// run left on the way down is removed.
std::wstring MakeDeepFolder(size_t length) {
    std::wstring folder = MakeScratchFolder(L"deep");
    while (folder.size() < length) {
        // Each step adds a name and a backslash; no step may leave room for a
        // backslash alone.
        size_t name = std::min<size_t>(40, length - 1 - folder.size());
        if (length - folder.size() - (name + 1) == 1)
            name -= 1;
        folder += std::wstring(name, L'd') + L"\\";
        if (!CreateDirectoryW((L"\\\\?\\" + folder).c_str(), NULL) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return std::wstring();
        for (const std::wstring &name : FilesIn(folder))
            DeleteFileW((L"\\\\?\\" + folder + name).c_str());
    }
    return folder;
}

// The program in a folder whose path leaves no room for "tonquil.ini" within
// 260 characters. (Wine starts no program whose own path is longer than that.)
TEST_F(SettingsTest, AFolderTooDeepForTheSettingsPathReadsDefaultsAndWritesNothing) {
    const std::wstring parent = TestFolder() + L"deep\\";
    std::wstring folder = MakeDeepFolder(250);
    ASSERT_EQ(250u, folder.size());
    std::wstring exe = folder + L"t.exe";
    std::wstring settings = L"\\\\?\\" + folder + L"tonquil.ini";
    ASSERT_TRUE(CopyFileW((TestFolder() + L"settings_test.exe").c_str(), (L"\\\\?\\" + exe).c_str(),
                          FALSE));
    ASSERT_TRUE(WriteBytes(settings, "[Client]\r\nVolume=5\r\n"));

    EXPECT_EQ(0, RunAndWait(exe,
                            L"--gtest_also_run_disabled_tests "
                            L"--gtest_filter=SettingsInADeepFolder.*",
                            60000));

    EXPECT_EQ("[Client]\r\nVolume=5\r\n", ReadBytes(settings));
    EXPECT_EQ((std::vector<std::wstring>{L"t.exe", L"tonquil.ini"}), FilesIn(folder));
    // Nor was anything written to a folder further up.
    auto Up = [](const std::wstring &path) {
        return path.substr(0, path.find_last_of(L'\\', path.size() - 2) + 1);
    };
    for (std::wstring up = Up(folder); up.size() >= parent.size(); up = Up(up))
        EXPECT_TRUE(FilesIn(up).empty()) << Utf8(up);
    DeleteFileW((L"\\\\?\\" + exe).c_str());
    DeleteFileW(settings.c_str());
}
