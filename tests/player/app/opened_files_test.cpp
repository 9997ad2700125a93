// Files opened from Explorer and the command line, through the real player:
// as its own command line and as a second start's, Explorer's bursts, and
// registration in the shell.
#include <gtest/gtest.h>

#include "running_player.h"
#include "test_support.h"
#include "player/app/arguments.h"
#include "player/app/path_record.h"
#include "player/app/registration.h"
#include "tonquil_extension.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// Media files beside the player's folder; base.mp3 is the playlist file's.
std::wstring MakeMedia(const std::wstring &folder) {
    std::wstring media = folder + L"media\\";
    for (const wchar_t *sub : {L"", L"album", L"album\\sub 2", L"album\\sub 10"})
        CreateDirectoryW((media + sub).c_str(), NULL);
    for (const wchar_t *name :
         {L"one.mp3", L"two.mp3", L"three.mp3", L"with space.mp3", L"日本語.mp3", L"marker.mp3",
          L"album\\10 x.mp3", L"album\\2 x.mp3", L"album\\sub 10\\b.mp3", L"album\\sub 2\\a.mp3",
          L"album\\notes.txt"})
        WriteBytes(media + name, "audio");
    WriteBytes(media + L"list.m3u",
               "one.mp3\r\n#EXTINF:1,x\r\nmissing.mp3\r\n..\\media\\two.mp3\r\n");
    WriteBytes(media + L"list.m3u8", Utf8(L"日本語.mp3\nalbum\\2 x.mp3\n"));
    WriteBytes(folder + L"base.mp3", "audio");
    WriteBytes(folder + L"tonquil.m3u", Utf8(folder + L"base.mp3") + "\r\n");
    WriteBytes(folder + L"tonquil.ini", "[Client]\r\nShowInfo=2\r\n");
    CopyInto(TestFolder() + L"bass.dll", folder + L"bass.dll");
    ResetLog(folder, L"bass-calls.log");
    return media;
}

HANDLE StartIn(const std::wstring &exe, const std::wstring &arguments, const std::wstring &cwd) {
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, cwd.c_str(), &startup,
                        &process)) {
        ADD_FAILURE() << "CreateProcess failed with error " << GetLastError();
        return NULL;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

int ExitCodeOf(HANDLE process) {
    DWORD code = (DWORD)-1;
    if (process && WaitForSingleObject(process, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    if (process)
        CloseHandle(process);
    return (int)code;
}

// The entries' paths, read from the player's memory as CM_GETTRACKENTRY gives them.
std::vector<std::wstring> Entries(HWND window, size_t most = 1000) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_VM_READ, FALSE, id);
    std::vector<std::wstring> paths;
    for (WPARAM i = 0; i < most; ++i) {
        TRACKENTRY entry;
        LRESULT at = SendMessageW(window, CM_GETTRACKENTRY, i, 0);
        if (!at || !ReadProcessMemory(process, (void *)at, &entry, sizeof entry, NULL))
            break;
        WCHAR path[MAX_PATH] = {};
        ReadProcessMemory(process, entry.Path, path, sizeof path - sizeof(WCHAR), NULL);
        paths.push_back(path);
    }
    CloseHandle(process);
    return paths;
}

// Waits until the marker that a later /add start appends is in, and until
// what the selection posted (its play) has run.
std::vector<std::wstring> EntriesAfterMarker(HWND window, const std::wstring &media) {
    HANDLE marker =
        StartIn(media.substr(0, media.size() - 6) + L"tonquil.exe", L"/add marker.mp3", media);
    EXPECT_EQ(0, ExitCodeOf(marker));
    std::vector<std::wstring> paths;
    WaitUntil(
        [&] {
            paths = Entries(window);
            return !paths.empty() && paths.back() == media + L"marker.mp3";
        },
        20000);
    PostMessageW(window, CM_SETVOLUME, 37, 0);
    WaitUntil([&] { return SendMessageW(window, CM_GETVOLUME, 0, 0) == 37; }, 20000);
    EXPECT_EQ(media + L"marker.mp3", paths.empty() ? L"" : paths.back());
    if (!paths.empty())
        paths.pop_back();
    return paths;
}

size_t CountCalls(const std::wstring &folder, const char *call) {
    return LogLinesStarting(ReadLog(folder, L"bass-calls.log"), call).size();
}

std::wstring Replace(std::wstring text, const std::wstring &from, const std::wstring &to) {
    for (size_t at = text.find(from); at != std::wstring::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

TEST(OpenedFiles, CommandLinesAddTheirEntriesAsFirstInstanceAndAsSecondStart) {
    const struct {
        const wchar_t *name;
        const wchar_t *arguments; // %M is the media folder
        const wchar_t *cwd;       // under the media folder
        std::vector<const wchar_t *> added;
        bool plays;
    } cases[] = {
        {L"one path", L"%Mone.mp3", L"", {L"one.mp3"}, true},
        {L"three paths",
         L"%Mone.mp3 %Mtwo.mp3 %Mthree.mp3",
         L"",
         {L"one.mp3", L"two.mp3", L"three.mp3"},
         true},
        {L"quoted with spaces", L"\"%Mwith space.mp3\"", L"", {L"with space.mp3"}, true},
        {L"Japanese", L"\"%M日本語.mp3\"", L"", {L"日本語.mp3"}, true},
        {L"relative",
         L"..\\three.mp3 \"2 x.mp3\"",
         L"album",
         {L"three.mp3", L"album\\2 x.mp3"},
         true},
        {L"folder in natural order",
         L"%Malbum",
         L"",
         {L"album\\2 x.mp3", L"album\\10 x.mp3", L"album\\sub 2\\a.mp3", L"album\\sub 10\\b.mp3"},
         true},
        {L"m3u", L"%Mlist.m3u", L"album", {L"one.mp3", L"two.mp3"}, true},
        {L"m3u8", L"%Mlist.m3u8", L"album", {L"日本語.mp3", L"album\\2 x.mp3"}, true},
        {L"/add", L"/ADD %Mtwo.mp3", L"", {L"two.mp3"}, false},
        {L"missing file", L"%Mmissing.mp3 %Malbum\\notes.txt NUL %MCOM1.mp3", L"", {}, false},
        {L"option with a path", L"/stop %Mthree.mp3", L"", {L"three.mp3"}, true},
    };
    for (bool second : {false, true}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(Utf8(c.name) + (second ? " (second start)" : " (first instance)"));
            std::wstring folder = PlayerFolder(second ? L"opened-second" : L"opened-first");
            std::wstring media = MakeMedia(folder);
            std::wstring arguments = Replace(c.arguments, L"%M", media);
            std::wstring cwd = media + c.cwd;
            RunningPlayer player = {};
            if (second) {
                player = StartPlayer(folder);
                ASSERT_NE(nullptr, player.window);
                EXPECT_EQ(0, ExitCodeOf(StartIn(folder + L"tonquil.exe", arguments, cwd)));
            } else {
                player.process = StartIn(folder + L"tonquil.exe", arguments, cwd);
                player.window = WaitForWindow(L"Tonquil", GetProcessId(player.process), 10000);
                ASSERT_NE(nullptr, player.window);
            }
            std::vector<std::wstring> expected = {folder + L"base.mp3"};
            for (const wchar_t *name : c.added)
                expected.push_back(media + name);
            EXPECT_EQ(expected, EntriesAfterMarker(player.window, media));
            EXPECT_EQ(c.plays ? 1u : 0u, CountCalls(folder, "BASS_ChannelPlay("));
            if (c.plays) {
                EXPECT_EQ(1, SendMessageW(player.window, CM_GETTRACKNO, 0, 0));
            }
            EXPECT_EQ("audio", ReadBytes(folder + L"base.mp3"));
            EXPECT_EQ(0, CloseAndWait(player));
            EXPECT_EQ(Utf8(folder + L"base.mp3") + "\r\n", ReadBytes(folder + L"tonquil.m3u"));
        }
    }
}

// Explorer starts one process per selected file, all at once, before any
// player runs: whichever becomes the player, the selection is one.
TEST(OpenedFiles, ABurstOfFifteenStartsIsOneSelection) {
    const int starts = 15;
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::wstring folder = PlayerFolder(L"opened-burst");
        std::wstring media = MakeMedia(folder);
        std::vector<std::wstring> paths;
        for (int i = 0; i < starts; ++i) {
            paths.push_back(media + L"burst " + std::to_wstring(i) + L".mp3");
            WriteBytes(paths.back(), "audio");
        }
        std::vector<HANDLE> processes;
        for (const std::wstring &path : paths)
            processes.push_back(StartIn(folder + L"tonquil.exe", L"\"" + path + L"\"", media));
        HWND window = NULL;
        WaitUntil([&] { return (window = FindWindowW(L"Tonquil", NULL)) != NULL; }, 20000);
        ASSERT_NE(nullptr, window);
        DWORD playerId = 0;
        GetWindowThreadProcessId(window, &playerId);
        RunningPlayer player = {NULL, window};
        for (HANDLE process : processes) {
            if (GetProcessId(process) == playerId)
                player.process = process;
            else
                EXPECT_EQ(0, ExitCodeOf(process));
        }
        ASSERT_NE(nullptr, player.process);

        // A round that fails still closes its player: one left running would
        // take every later test's second start.
        std::vector<std::wstring> entries = EntriesAfterMarker(window, media);
        EXPECT_EQ(starts + 1u, entries.size());
        std::set<std::wstring> added(entries.begin() + (entries.empty() ? 0 : 1), entries.end());
        EXPECT_EQ(std::set<std::wstring>(paths.begin(), paths.end()), added);
        EXPECT_EQ(1u, CountCalls(folder, "BASS_ChannelPlay("));
        // The balloon reads the ID3v1 and the ID3v2 tag, once.
        EXPECT_EQ(2u, CountCalls(folder, "BASS_ChannelGetTags("));
        EXPECT_EQ(0, CloseAndWait(player));
    }
}

TEST(OpenedFiles, RegisterAndUnregisterWriteOnlyTheApplicationsKey) {
    std::wstring folder = PlayerFolder(L"opened-register");
    std::wstring exe = folder + L"tonquil.exe";
    auto text = [](const wchar_t *subKey, const wchar_t *name) {
        WCHAR value[1024] = {};
        DWORD bytes = sizeof value - sizeof(WCHAR), type = 0;
        HKEY key;
        std::wstring path = std::wstring(REGISTRATION_KEY) + subKey;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::wstring(L"absent");
        LONG status = RegQueryValueExW(key, name, NULL, &type, (BYTE *)value, &bytes);
        RegCloseKey(key);
        return status == ERROR_SUCCESS && type == REG_SZ ? std::wstring(value) : L"absent";
    };
    for (bool running : {false, true}) {
        SCOPED_TRACE(running ? "with a running player" : "alone");
        RunningPlayer player = {};
        if (running)
            player = StartPlayer(folder);
        EXPECT_EQ(0, RunAndWait(exe, L"/register", 20000));
        for (const wchar_t *type : {L".mp3", L".flac", L".opus", L".m4a", L".m3u", L".m3u8"})
            EXPECT_EQ(L"", text(L"\\SupportedTypes", type)) << Utf8(type);
        EXPECT_EQ(L"\"" + exe + L"\" \"%1\"", text(L"\\shell\\open\\command", NULL));
        EXPECT_EQ(L"\"" + exe + L"\" /add \"%1\"", text(L"\\shell\\enqueue\\command", NULL));
        EXPECT_EQ(0, RunAndWait(exe, L"/UNREGISTER", 20000));
        HKEY key;
        EXPECT_NE(ERROR_SUCCESS,
                  RegOpenKeyExW(HKEY_CURRENT_USER, REGISTRATION_KEY, 0, KEY_READ, &key));
        EXPECT_EQ(0, RunAndWait(exe, L"/unregister", 20000)); // nothing left to remove
        if (running) {
            EXPECT_EQ(0u, Entries(player.window).size());
            EXPECT_EQ(0, CloseAndWait(player));
        }
    }
}

TEST(OpenedFiles, ArgumentsSplitAsTheSystemSplitsThem) {
    const struct {
        const wchar_t *line;
        std::vector<std::wstring> arguments;
    } cases[] = {
        {L"", {L""}},
        {L"\"C:\\Program Files\\t.exe\"x y", {L"C:\\Program Files\\t.exe", L"x", L"y"}},
        {L"t.exe  \t a\"b c\"d  ", {L"t.exe", L"ab cd"}},
        {L"t.exe \"C:\\a b\\\\\" next", {L"t.exe", L"C:\\a b\\", L"next"}},
        {L"t.exe a\\\\\\\"b \\\\x \"\"", {L"t.exe", L"a\\\"b", L"\\\\x", L""}},
        {L"t.exe \"a\"\"b\" \"unended", {L"t.exe", L"a\"b", L"unended"}},
        {L"\"t.exe\"arg", {L"t.exe", L"arg"}},
    };
    for (const auto &c : cases) {
        std::wstring out(lstrlenW(c.line) + 1, L'#');
        int count = SplitArguments(c.line, &out[0]);
        std::vector<std::wstring> got;
        for (const WCHAR *a = out.c_str(); (int)got.size() < count; a = NextArgument(a))
            got.push_back(a);
        EXPECT_EQ(c.arguments, got) << Utf8(c.line);
    }
}

// Nothing here may crash or hang the player, or change its entries or files.
TEST(OpenedFiles, BadInputIsRefusedQuietly) {
    std::wstring folder = PlayerFolder(L"opened-bad");
    std::wstring media = MakeMedia(folder);
    std::wstring exe = folder + L"tonquil.exe";
    RunningPlayer player = StartPlayer(folder);
    ASSERT_NE(nullptr, player.window);

    auto send = [&](DWORD tag, const std::string &bytes) {
        COPYDATASTRUCT copied = {tag, (DWORD)bytes.size(), (void *)bytes.data()};
        return SendMessageW(player.window, WM_COPYDATA, 0, (LPARAM)&copied);
    };
    std::wstring good = media + L"one.mp3";
    DWORD size = 0;
    void *built = BuildPathRecord(good.c_str(), 1, PATH_RECORD_ADD_ONLY, &size);
    ASSERT_NE(nullptr, built);
    std::string record((const char *)built, size);
    HeapFree(GetProcessHeap(), 0, built);
    auto changed = [&](size_t at, char value) {
        std::string bytes = record;
        bytes[at] = value;
        return bytes;
    };
    const std::string bad[] = {
        "",
        record.substr(0, 11),
        record.substr(0, size - 2),
        record + std::string(2, '\0'),
        record + "x",
        changed(0, 2) /* version */,
        changed(4, 2) /* flags */,
        changed(8, 0) /* count */,
        changed(8, 2),
        changed(12, 1) /* length */,
        changed(12, 100),
        changed(size - 2, 'x') /* no zero */,
        changed(16, 0) /* zero inside */,
    };
    for (const std::string &bytes : bad)
        EXPECT_EQ(0, send(PATH_RECORD_TAG, bytes)) << bytes.size();
    EXPECT_EQ(0, send(PATH_RECORD_TAG + 1, record));
    EXPECT_EQ(1, send(PATH_RECORD_TAG, record));

    std::wstring longPath = media + std::wstring(32000 - media.size(), L'a') + L".mp3";
    std::wstring many;
    for (int i = 0; i < 8000; ++i)
        many += std::to_wstring(i % 1000) + L" ";
    WriteBytes(media + L"vanishing.mp3", "audio");
    for (const std::wstring &arguments : {longPath, many, L"\"" + media + L"vanishing.mp3\""}) {
        EXPECT_EQ(0, ExitCodeOf(StartIn(exe, arguments, media)));
        DeleteFileW((media + L"vanishing.mp3").c_str());
    }
    // The vanishing file may be gone before its selection is added or after;
    // either way it leaves no entry behind once it was to be played.
    std::vector<std::wstring> entries = EntriesAfterMarker(player.window, media);
    entries.erase(std::remove(entries.begin(), entries.end(), media + L"vanishing.mp3"),
                  entries.end());
    std::vector<std::wstring> expected = {folder + L"base.mp3", good};
    EXPECT_EQ(expected, entries);

    // Folders made at build time: 100,000 files, and a folder that holds a
    // link to itself.
    std::wstring made = FromUnixPath(TONQUIL_OPENED_FOLDERS_UNIX);
    // One start, so one selection: the loop's one file and the first 65,535
    // of the many, up to the selection's limit.
    std::wstring folders = L"\"" + made + L"loop\" \"" + made + L"many\"";
    EXPECT_EQ(0, ExitCodeOf(StartIn(exe, L"/add " + folders, media)));
    const WPARAM lastIndex = 3 + 65536 - 1; // after the playlist's, the record's and the marker
    LRESULT last = 0;
    WaitUntil(
        [&] { return (last = SendMessageW(player.window, CM_GETTRACKENTRY, lastIndex, 0)) != 0; },
        120000);
    EXPECT_NE(0, last);
    EXPECT_EQ(0, SendMessageW(player.window, CM_GETTRACKENTRY, lastIndex + 1, 0));
    std::vector<std::wstring> firstEntries = Entries(player.window, 6);
    expected.push_back(media + L"marker.mp3");
    expected.push_back(made + L"loop\\a.mp3");
    expected.push_back(made + L"many\\000000.mp3");
    expected.push_back(made + L"many\\000001.mp3");
    EXPECT_EQ(expected, firstEntries);
    EXPECT_EQ(0, CloseAndWait(player));
    EXPECT_EQ(Utf8(folder + L"base.mp3") + "\r\n", ReadBytes(folder + L"tonquil.m3u"));
}
