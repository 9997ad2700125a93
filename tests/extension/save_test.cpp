// Saving the list over old files the player could not read in full: every
// line of the original stays in the new file, among the rows the user
// removed, among the lines a Yes let go, or in tonquil.m3u.bak. And saves
// over files the user made read-only.
#include "module_window.h"

#include "player_window.h"
#include "running_player.h"
#include "test_support.h"
#include "tonquil_extension.h"

namespace {

const std::string Mark = "\xEF\xBB\xBF";

std::string Utf16(const std::wstring &text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t unit : text) {
        char low = (char)(unit & 0xFF), high = (char)(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// One line of an old file: its bytes there, the path it names when it can
// be read at all, and what a save makes of it.
enum LineKind { PLAYS, COUNTED, SKIPPED };
struct OldLine {
    std::string bytes;
    std::wstring path;
    LineKind kind;
};

// The paths of a file the module wrote: ANSI, or UTF-8 after the mark.
std::vector<std::wstring> SavedPaths(const std::string &file) {
    bool utf8 = file.compare(0, 3, Mark) == 0;
    std::string body = utf8 ? file.substr(3) : file;
    std::vector<std::wstring> paths;
    for (size_t at = 0; at < body.size();) {
        size_t end = body.find("\r\n", at);
        std::string line = body.substr(at, end - at);
        UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
        int length = MultiByteToWideChar(codePage, 0, line.data(), (int)line.size(), NULL, 0);
        std::wstring path(length, L'\0');
        MultiByteToWideChar(codePage, 0, line.data(), (int)line.size(), &path[0], length);
        paths.push_back(path);
        at = end == std::string::npos ? body.size() : end + 2;
    }
    return paths;
}

std::string AnsiLines(const std::vector<std::wstring> &paths) {
    std::string bytes;
    for (const std::wstring &path : paths)
        bytes += AnsiBytes(path) + "\r\n";
    return bytes;
}

bool Holds(const std::vector<std::wstring> &paths, const std::wstring &path) {
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

// Every line of the original is in one of the four places; removed holds
// the paths let go by name.
void ExpectNothingLost(const std::vector<OldLine> &original,
                       const std::vector<std::wstring> &removed,
                       const std::vector<std::string> &letGo, const char *what, int save) {
    std::string file = ReadBytes(TestFolder() + L"tonquil.m3u");
    std::string backup = ReadBytes(TestFolder() + L"tonquil.m3u.bak");
    for (const OldLine &line : original) {
        bool named = !line.path.empty();
        bool kept = line.kind == SKIPPED || file.find(line.bytes) != std::string::npos ||
                    (named && (Holds(SavedPaths(file), line.path) || Holds(removed, line.path))) ||
                    std::find(letGo.begin(), letGo.end(), line.bytes) != letGo.end() ||
                    backup.find(line.bytes) != std::string::npos;
        EXPECT_TRUE(kept) << what << ", save " << save << ": lost " << Utf8(line.path);
    }
}

class SaveOverOldFiles : public ModuleWindow {
  protected:
    // Saves with the answer given; gives the count the question asked
    // about, 0 when there was no question.
    int Save(HWND window, int answer) {
        void **hook = ModuleHook("MessageBoxCall");
        EXPECT_NE(nullptr, hook);
        if (hook)
            *hook = (void *)AnswerQuestion;
        Questions.clear();
        Answer = answer;
        SendMessageW(Control(window, IDC_SAVE), BM_CLICK, 0, 0);
        if (Questions.empty())
            return 0;
        EXPECT_EQ(1u, Questions.size());
        for (int count = 1; count < 100; ++count)
            if (Contains(Questions[0], L" " + std::to_wstring(count) + L" 件"))
                return count;
        ADD_FAILURE() << Utf8(Questions[0]);
        return -1;
    }

    void RemoveFirstRow(HWND window) {
        SelectRows(Control(window, IDC_LIST), {0});
        PressKey(Control(window, IDC_LIST), VK_DELETE);
    }
};

} // namespace

// Lines the player could not take, in every encoding: each save asks about
// all of them, No keeps the file, and the backup stays the file as the run
// found it however often the list is saved.
TEST_F(SaveOverOldFiles, EveryLineOfTheOldFileIsAskedAboutOrKept) {
    std::vector<std::wstring> t = MakeTracks(4);
    std::wstring gone = music + L"gone.mp3", tooLong = music + std::wstring(300, L'x') + L".mp3";
    const std::wstring comment = L"#EXTM3U";
    auto ansi = [](const std::wstring &path, LineKind kind) {
        return OldLine{AnsiBytes(path) + "\r\n", path, kind};
    };
    auto utf8 = [](const std::wstring &path, LineKind kind) {
        return OldLine{Utf8(path) + "\r\n", path, kind};
    };
    auto utf16 = [](bool bigEndian, const std::wstring &path, LineKind kind) {
        // A broken surrogate pair names nothing.
        std::wstring named = path.find(L'\xD800') == std::wstring::npos ? path : L"";
        return OldLine{Utf16(path + L"\r\n", bigEndian).substr(2), named, kind};
    };
    std::string dir = AnsiBytes(music);
    struct Case {
        const char *what;
        std::string head; // the byte-order mark
        std::vector<OldLine> lines;
    } cases[] = {
        {"invalid UTF-8",
         Mark,
         {utf8(comment, SKIPPED),
          utf8(t[0], PLAYS),
          {dir + "bad\xC0\xAEmp3\r\n", L"", COUNTED},
          utf8(t[1], PLAYS),
          utf8(t[2], PLAYS)}},
        // The player's text ends at the zero; the save reads on.
        {"a zero in an ANSI file",
         "",
         {ansi(t[0], PLAYS),
          ansi(t[1], PLAYS),
          ansi(t[2], PLAYS),
          {dir + "zero" + std::string(1, '\0') + ".mp3\r\n", L"", COUNTED},
          ansi(t[3], COUNTED),
          ansi(gone, COUNTED)}},
        {"a 300-character line",
         "",
         {ansi(t[0], PLAYS), ansi(tooLong, COUNTED), ansi(t[1], PLAYS), ansi(t[2], PLAYS)}},
        {"a missing file",
         "",
         {ansi(comment, SKIPPED),
          ansi(t[0], PLAYS),
          ansi(t[1], PLAYS),
          ansi(gone, COUNTED),
          {"\r\n", L"", SKIPPED},
          ansi(t[2], PLAYS)}},
        {"UTF-16 LE",
         "\xFF\xFE",
         {utf16(false, comment, SKIPPED), utf16(false, t[0], PLAYS), utf16(false, gone, COUNTED),
          utf16(false, t[1], PLAYS), utf16(false, music + L"\xD800x.mp3", COUNTED),
          utf16(false, t[2], PLAYS)}},
        {"UTF-16 BE",
         "\xFE\xFF",
         {utf16(true, comment, SKIPPED), utf16(true, t[0], PLAYS), utf16(true, gone, COUNTED),
          utf16(true, t[1], PLAYS), utf16(true, music + L"\xD800x.mp3", COUNTED),
          utf16(true, t[2], PLAYS)}},
    };

    for (const Case &test : cases) {
        SetUp();
        MakeTracks(4);
        std::string original = test.head;
        std::vector<std::wstring> list;
        std::vector<std::string> counted;
        for (const OldLine &line : test.lines) {
            original += line.bytes;
            if (line.kind == PLAYS)
                list.push_back(line.path);
            if (line.kind == COUNTED)
                counted.push_back(line.bytes);
        }
        ASSERT_TRUE(WriteBytes(TestFolder() + L"tonquil.m3u", original));
        std::vector<std::string> letGo;
        std::vector<std::wstring> removed;
        HWND window = StartAndShow();
        ASSERT_NE(nullptr, window) << test.what;
        ASSERT_EQ(list, PlayerEntries(player)) << test.what;
        RemoveFirstRow(window);
        removed.push_back(list[0]);
        list.erase(list.begin());

        EXPECT_EQ((int)counted.size(), Save(window, IDNO)) << test.what;
        EXPECT_EQ(original, ReadBytes(TestFolder() + L"tonquil.m3u")) << test.what;
        ExpectNothingLost(test.lines, removed, letGo, test.what, 1);

        EXPECT_EQ((int)counted.size(), Save(window, IDYES)) << test.what;
        letGo = counted;
        // Today's rule: these paths fit the code page.
        EXPECT_EQ(AnsiLines(list), ReadBytes(TestFolder() + L"tonquil.m3u")) << test.what;
        EXPECT_EQ(original, ReadBytes(TestFolder() + L"tonquil.m3u.bak")) << test.what;
        ExpectNothingLost(test.lines, removed, letGo, test.what, 2);

        RemoveFirstRow(window);
        removed.push_back(list[0]);
        list.erase(list.begin());
        EXPECT_EQ(0, Save(window, IDNO)) << test.what;
        EXPECT_EQ(AnsiLines(list), ReadBytes(TestFolder() + L"tonquil.m3u")) << test.what;
        EXPECT_EQ(original, ReadBytes(TestFolder() + L"tonquil.m3u.bak")) << test.what;
        ExpectNothingLost(test.lines, removed, letGo, test.what, 3);

        // The next run: its last track has gone from the disk meanwhile.
        ClosePlayerWindow(player);
        DeletePath(list.back());
        std::string firstRun = ReadBytes(TestFolder() + L"tonquil.m3u");
        window = StartAndShow();
        ASSERT_NE(nullptr, window) << test.what;
        EXPECT_EQ(1, Save(window, IDYES)) << test.what;
        removed.push_back(list.back()); // let go by name, as a removal is
        list.pop_back();
        EXPECT_EQ(AnsiLines(list), ReadBytes(TestFolder() + L"tonquil.m3u")) << test.what;
        EXPECT_EQ(firstRun, ReadBytes(TestFolder() + L"tonquil.m3u.bak")) << test.what;
        ExpectNothingLost(test.lines, removed, letGo, test.what, 4);
        ClosePlayerWindow(player);
        player = NULL;
    }
}

// The real player reads a playlist Notepad saved as "Unicode", and plays it.
TEST_F(ModuleWindow, AUtf16PlaylistPlaysInTheRealPlayer) {
    std::wstring folder = RealPlayerFolder("");
    std::vector<std::wstring> tracks = {folder + L"日本語の歌.mp3", folder + L"second.mp3"};
    for (const std::wstring &track : tracks)
        ASSERT_TRUE(WriteBytes(track, "audio"));
    ASSERT_TRUE(WriteBytes(folder + L"tonquil.m3u",
                           Utf16(tracks[0] + L"\r\n" + tracks[1] + L"\r\n", false)));
    RunningPlayer running = StartPlayer(folder);
    ASSERT_NE(nullptr, running.window);
    SendMessageW(running.window, WM_COMMAND, IDM_SHOWWINDOW, 0);
    HWND shown = WaitForWindow(WINDOW_CLASS_NAME, GetProcessId(running.process), 10000);
    ASSERT_NE(nullptr, shown);
    EXPECT_EQ(2, RowCount(Control(shown, IDC_LIST)));
    SendMessageW(running.window, WM_COMMAND, IDM_TRACK_FIRST + 1, 0);
    EXPECT_EQ(1u, WaitForOpen(folder, tracks[1]));
    SendMessageW(running.window, WM_COMMAND, IDM_TRACK_FIRST, 0);
    EXPECT_EQ(1u, WaitForOpen(folder, tracks[0]));
    EXPECT_EQ(0, SendMessageW(running.window, CM_GETTRACKNO, 0, 0));
    EXPECT_EQ(0, CloseAndWait(running));
}

// A read-only tonquil.m3u is left alone with a word in the status bar, and a
// read-only tonquil.ini keeps its content; once the user clears the flags,
// the next save works, whatever read-only copies an older version left.
TEST_F(ModuleWindow, ReadOnlyFilesRefuseTheSaveUntilTheUserClearsThem) {
    std::vector<std::wstring> tracks = MakeTracks(3);
    WritePlaylist(tracks);
    std::wstring playlist = TestFolder() + L"tonquil.m3u", ini = TestFolder() + L"tonquil.ini";
    const std::string settings = "[Window]\r\nLeft=10\r\nTop=20\r\nRight=700\r\nBottom=500\r\n";
    ASSERT_TRUE(WriteBytes(ini, settings));
    std::string before = ReadBytes(playlist);
    for (const wchar_t *stale : {L"tonquil.m3u.bak", L"tonquil.ini.tmp"}) {
        ASSERT_TRUE(WriteBytes(TestFolder() + stale, "left by an older version"));
        SetFileAttributesW((TestFolder() + stale).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    for (const std::wstring &file : {playlist, ini})
        ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));

    for (int run = 1; run <= 3; ++run) {
        for (const std::wstring &file : {playlist, ini}) {
            if (run == 3) {
                ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL));
            }
        }
        HWND window = StartAndShow();
        ASSERT_NE(nullptr, window) << "run " << run;
        SelectRows(Control(window, IDC_LIST), {1});
        PressKey(Control(window, IDC_LIST), VK_DELETE);
        SendMessageW(Control(window, IDC_SAVE), BM_CLICK, 0, 0);
        std::wstring status = StatusText(window, 0);
        SetWindowPos(window, NULL, 40, 50, 640, 480, SWP_NOZORDER);
        ClosePlayerWindow(player);
        player = NULL;
        std::string written = ReadBytes(ini);
        if (run < 3) {
            EXPECT_TRUE(Contains(status, L"読み取り専用")) << Utf8(status);
            EXPECT_EQ(before, ReadBytes(playlist)) << "run " << run;
            EXPECT_EQ(settings, written) << "run " << run;
            continue;
        }
        EXPECT_EQ(L"2 曲を tonquil.m3u に保存しました (ANSI)。", status);
        EXPECT_EQ(AnsiBytes(tracks[0]) + "\r\n" + AnsiBytes(tracks[2]) + "\r\n",
                  ReadBytes(playlist));
        EXPECT_EQ(before, ReadBytes(TestFolder() + L"tonquil.m3u.bak"));
        EXPECT_EQ(0u, GetFileAttributesW((TestFolder() + L"tonquil.m3u.bak").c_str()) &
                          FILE_ATTRIBUTE_READONLY);
        EXPECT_NE(std::string::npos, written.find("Left=40\r\n")) << written;
        EXPECT_NE(std::string::npos, written.find("[Client]")) << written;
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW((TestFolder() + L"tonquil.ini.tmp").c_str()));
}
