#include "playlist_fixture.h"

#include "player/core/paths.h"
#include "player/playlist/playlist.h"
#include "test_support.h"

namespace {

class Reader : public PlaylistTest {
  protected:
    void SetUp() override {
        PlaylistTest::SetUp();
        folder = MakeScratchFolder(L"reader");
        a = MakeTrackFile(folder, L"a.mp3");
        b = MakeTrackFile(folder, L"b.ogg");
        c = MakeTrackFile(folder, L"c.flac");
    }

    std::wstring folder, a, b, c;
};

} // namespace

TEST_F(Reader, CarriageReturnLineFeedLinesAreTakenWhole) {
    EXPECT_EQ(3, LoadPlaylistBytes(folder, Ansi(a + L"\r\n" + b + L"\r\n" + c + L"\r\n")));
    EXPECT_EQ((std::vector<std::wstring>{a, b, c}), ListedPaths());
    EXPECT_EQ((std::vector<LONG>{1, 2, 3}), ListedTrackIds());
    EXPECT_TRUE(PlaylistIsConsistent());
}

// Only a carriage return is dropped before a line feed: files saved with
// bare line feeds keep the last character of every line.
TEST_F(Reader, BareLineFeedLinesAreTakenWhole) {
    EXPECT_EQ(3, LoadPlaylistBytes(folder, Ansi(a + L"\n" + b + L"\n" + c + L"\n")));
    EXPECT_EQ((std::vector<std::wstring>{a, b, c}), ListedPaths());
    EXPECT_EQ(2, LoadPlaylistBytes(folder, Ansi(a + L"\r\n" + b + L"\n" + c + L"\r")));
    EXPECT_EQ((std::vector<std::wstring>{a, b}), ListedPaths());
    // A line of a lone carriage return is empty, not the line feed before it.
    EXPECT_EQ(2, LoadPlaylistBytes(folder, Ansi(L"\r\n\n" + a + L"\n\r\n" + b)));
}

TEST_F(Reader, FinalLineWithoutLineEndIsTakenWhole) {
    EXPECT_EQ(2, LoadPlaylistBytes(folder, Ansi(a + L"\r\n" + c)));
    EXPECT_EQ((std::vector<std::wstring>{a, c}), ListedPaths());
    EXPECT_EQ(1, LoadPlaylistBytes(folder, Ansi(c)));
    EXPECT_EQ(0, LoadPlaylistBytes(folder, ""));
    EXPECT_EQ(0, LoadPlaylistBytes(folder, "\r\n\r\n"));
}

TEST_F(Reader, RejectedLinesTakeNoTrackId) {
    std::wstring lines = a + L"\r\n" + folder + L"missing.mp3\r\n" + folder + L"A.MP3\r\n" + L" " +
                         b + L"\r\n" + L"# comment\r\n" + folder + L"\r\n" + b + L"\r\n";
    EXPECT_EQ(2, LoadPlaylistBytes(folder, Ansi(lines)));
    EXPECT_EQ((std::vector<std::wstring>{a, b}), ListedPaths());
    EXPECT_EQ((std::vector<LONG>{1, 2}), ListedTrackIds());
    EXPECT_EQ(2, TrackCounter);
}

TEST_F(Reader, UpperCaseExtensionsAndFoldersAreRejected) {
    std::wstring upper = MakeTrackFile(folder, L"LOUD.MP3");
    std::wstring album = folder + L"album.mp3";
    CreateDirectoryW(album.c_str(), NULL);
    std::wstring fla = MakeTrackFile(folder, L"d.fla");
    EXPECT_EQ(2, LoadPlaylistBytes(folder, Ansi(upper + L"\r\n" + album + L"\r\n" + fla + L"\r\n" +
                                                c + L"\r\n")));
    EXPECT_EQ((std::vector<std::wstring>{fla, c}), ListedPaths());
}

TEST_F(Reader, ZeroByteEndsTheText) {
    std::string bytes = Ansi(a + L"\r\n" + b);
    bytes += std::string(1, '\0') + Ansi(L"\r\n" + c + L"\r\n");
    EXPECT_EQ(2, LoadPlaylistBytes(folder, bytes));
    EXPECT_EQ((std::vector<std::wstring>{a, b}), ListedPaths());
    EXPECT_EQ(0, LoadPlaylistBytes(folder, std::string(1, '\0') + Ansi(a)));
}

// Without the mark it is an ANSI file that ends at its first zero byte.
TEST_F(Reader, Utf16FileWithoutTheMarkYieldsNothing) {
    std::wstring text = a + L"\r\n" + b + L"\r\n";
    std::string bytes((const char *)text.data(), text.size() * sizeof(wchar_t));
    EXPECT_EQ(0, LoadPlaylistBytes(folder, bytes));
    EXPECT_TRUE(PlaylistIsConsistent());
}

static const std::string Mark = "\xEF\xBB\xBF";

TEST_F(Reader, AnsiAndUtf8FilesOfTheSamePathsGiveTheSameList) {
    std::vector<std::wstring> paths = {a, b, c};
    std::wstring accented = L"caf\x00E9.mp3";
    if (Ansi(accented).size() == accented.size())
        paths.insert(paths.begin() + 1, MakeTrackFile(folder, accented));
    std::wstring lines;
    for (const std::wstring &path : paths)
        lines += path + L"\r\n";
    EXPECT_EQ(LONG(paths.size()), LoadPlaylistBytes(folder, Ansi(lines)));
    std::vector<std::wstring> fromAnsi = ListedPaths();
    EXPECT_EQ(LONG(paths.size()), LoadPlaylistBytes(folder, Mark + Utf8(lines)));
    EXPECT_EQ(fromAnsi, ListedPaths());
    EXPECT_EQ(paths, ListedPaths());
    EXPECT_EQ(LONG(paths.size()), TrackCounter);
}

// The same line rules as an ANSI file; a line that is not UTF-8, or holds a
// zero byte, is lost alone. The bad lines would name existing files if they
// were decoded leniently (an overlong '.', a line cut at its zero byte).
TEST_F(Reader, Utf8FilesKeepTheLineRulesAndBadBytesSpoilOnlyTheirLine) {
    std::wstring ja = MakeTrackFile(folder, L"日本語の歌.mp3");
    std::wstring ko = MakeTrackFile(folder, L"한국어 노래.ogg");
    std::wstring emoji = MakeTrackFile(folder, L"\U0001F3B5\U0001F600.flac");
    std::string dir = Utf8(folder);
    std::wstring twoLines = a + L"\r\n" + b + L"\r\n";
    std::string utf16((const char *)twoLines.data(), twoLines.size() * sizeof(wchar_t));
    struct Case {
        const char *what;
        std::string bytes;
        std::vector<std::wstring> expected;
    } cases[] = {
        {"CR LF", Mark + Utf8(ja + L"\r\n" + ko + L"\r\n" + emoji + L"\r\n"), {ja, ko, emoji}},
        {"bare LF, last line unended",
         Mark + Utf8(ja + L"\n" + ko + L"\n" + emoji),
         {ja, ko, emoji}},
        {"a lone CR is kept", Mark + Utf8(ja + L"\r\n" + ko + L"\r"), {ja}},
        {"the mark alone", Mark, {}},
        {"the mark then UTF-16", Mark + "\xFF\xFE" + utf16, {}},
        {"overlong",
         Mark + dir + "a\xC0\xAEmp3\r\n" + dir + "a\xE0\x80\xAEmp3\r\n" + Utf8(ko),
         {ko}},
        {"truncated",
         Mark + dir + "\xE6\x97\r\n" + Utf8(ko) + "\r\n" + Utf8(ja).substr(0, Utf8(ja).size() - 5),
         {ko}},
        {"cut at the end of the file",
         Mark + Utf8(ko + L"\r\n") + Utf8(emoji).substr(0, dir.size() + 2),
         {ko}},
        {"surrogate halves",
         Mark + dir + "\xED\xA0\xBD\xED\xB5\x80.mp3\r\n" + Utf8(emoji),
         {emoji}},
        {"beyond U+10FFFF", Mark + dir + "\xF4\x90\x80\x80.mp3\n" + Utf8(ja), {ja}},
        {"zero byte inside a line",
         Mark + Utf8(a) + std::string(1, '\0') + "x\r\n" + Utf8(ko),
         {ko}},
        {"overlong line",
         Mark + Utf8(ja + L"\r\n") + dir + std::string(300000, 'n') + ".mp3\r\n" + Utf8(emoji),
         {ja, emoji}},
    };
    for (const Case &test : cases) {
        LONG count = LoadPlaylistBytes(folder, test.bytes);
        EXPECT_EQ(test.expected, ListedPaths()) << test.what;
        EXPECT_EQ(LONG(test.expected.size()), count) << test.what;
        EXPECT_EQ(count, TrackCounter) << test.what;
        EXPECT_TRUE(PlaylistIsConsistent()) << test.what;
    }
}

static std::string Utf16(const std::wstring &text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t unit : text) {
        char low = (char)(unit & 0xFF), high = (char)(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Notepad's "Unicode" files, either byte order, by the UTF-8 file's rules.
TEST_F(Reader, Utf16FilesWithTheMarkKeepTheLineRules) {
    std::wstring ja = MakeTrackFile(folder, L"日本語の歌.mp3");
    std::wstring emoji = MakeTrackFile(folder, L"\U0001F3B5\U0001F600.flac");
    struct Case {
        const char *what;
        std::wstring text;
        std::vector<std::wstring> expected;
    } cases[] = {
        {"CR LF", ja + L"\r\n" + emoji + L"\r\n" + a + L"\r\n", {ja, emoji, a}},
        {"bare LF, last line unended", ja + L"\n" + b, {ja, b}},
        {"a lone CR is kept", ja + L"\r\n" + b + L"\r", {ja}},
        {"a lone high surrogate", ja + L"\r\n" + folder + L"\xD83Cx.mp3\r\n" + b, {ja, b}},
        {"a lone low surrogate", folder + L"\xDF75.mp3\n" + b, {b}},
        {"a zero inside a line", a + std::wstring(1, L'\0') + L"x\r\n" + b, {b}},
    };
    for (const Case &test : cases)
        for (bool bigEndian : {false, true}) {
            LONG count = LoadPlaylistBytes(folder, Utf16(test.text, bigEndian));
            EXPECT_EQ(test.expected, ListedPaths()) << test.what << bigEndian;
            EXPECT_EQ(LONG(test.expected.size()), count) << test.what << bigEndian;
        }
    // A cut last unit spoils only the last line.
    EXPECT_EQ(1, LoadPlaylistBytes(folder, Utf16(a + L"\r\n" + b, false) + "x"));
    EXPECT_EQ(std::vector<std::wstring>{a}, ListedPaths());
    EXPECT_EQ(0, LoadPlaylistBytes(folder, "\xFF\xFE"));
}

TEST_F(Reader, LinesAreReadInTheAnsiCodePage) {
    std::wstring name = L"caf\x00E9 \x00C0.mp3";
    if (Ansi(name).size() != name.size())
        GTEST_SKIP() << "the ANSI code page " << GetACP()
                     << " has no single byte for these letters";
    std::wstring accented = MakeTrackFile(folder, name);
    EXPECT_EQ(1, LoadPlaylistBytes(folder, Ansi(accented + L"\r\n")));
    EXPECT_EQ((std::vector<std::wstring>{accented}), ListedPaths());
}

TEST_F(Reader, LoadingReplacesTheListAndRestartsTrackIds) {
    ASSERT_EQ(1, InsertTrack(-1, c.c_str()));
    ASSERT_EQ(1, InsertTrack(-1, c.c_str()));
    EXPECT_EQ(2, LoadPlaylistBytes(folder, Ansi(a + L"\r\n" + b)));
    EXPECT_EQ((std::vector<LONG>{1, 2}), ListedTrackIds());

    LoadPlaylistFile((folder + L"missing.m3u").c_str());
    EXPECT_EQ(0, CountTracks());
    EXPECT_EQ(0, TrackCounter);
    EXPECT_EQ(NULL, Playlist->Next);
}

TEST_F(Reader, PlaylistBesideTheProgramIsReadOncePerProcess) {
    WCHAR path[MAX_PATH];
    ASSERT_EQ(1, BuildModulePath(L"tonquil.m3u", path));
    ASSERT_EQ(TestFolder() + L"tonquil.m3u", std::wstring(path));

    DeletePath(path);
    EnsurePlaylistLoaded();
    EXPECT_EQ(1, PlaylistLoaded);
    EXPECT_EQ(0, CountTracks());
    // A missing file is not tried again, and a later change is not seen.
    ASSERT_TRUE(WriteBytes(path, Ansi(a + L"\r\n")));
    EnsurePlaylistLoaded();
    EXPECT_EQ(0, CountTracks());

    PlaylistLoaded = 0;
    EnsurePlaylistLoaded();
    EXPECT_EQ((std::vector<std::wstring>{a}), ListedPaths());
    ASSERT_EQ(1, InsertTrack(-1, b.c_str()));
    ASSERT_TRUE(WriteBytes(path, Ansi(c + L"\r\n")));
    EnsurePlaylistLoaded();
    EXPECT_EQ((std::vector<std::wstring>{a, b}), ListedPaths());
    DeletePath(path);
}

// A Monkey's Audio image whose APEv2 tag holds its sheet, as taggers write
// it: a line naming the image lists its tracks; a line naming one of them
// lists that one.
TEST_F(Reader, AnImageThatEmbedsASheetIsListedAsItsTracks) {
    const std::string sheet = "FILE \"x.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                              " TRACK 02 AUDIO\n  INDEX 01 00:01:00\n";
    auto le32 = [](size_t v) {
        return std::string{(char)(v & 0xFF), (char)(v >> 8 & 0xFF), (char)(v >> 16 & 0xFF),
                           (char)(v >> 24 & 0xFF)};
    };
    std::string item = le32(sheet.size()) + le32(0) + "Cuesheet" + '\0' + sheet;
    std::wstring image = folder + L"image.ape";
    ASSERT_TRUE(WriteBytes(image, "MAC " + std::string(100, '\0') + item + "APETAGEX" + le32(2000) +
                                      le32(item.size() + 32) + le32(1) + le32(0) +
                                      std::string(8, '\0')));
    EXPECT_EQ(4, LoadPlaylistBytes(folder, Ansi(image + L"\r\n" + a + L"\r\n" + image + L"|2\r\n" +
                                                image + L"|3\r\n")));
    EXPECT_EQ((std::vector<std::wstring>{image + L"|1", image + L"|2", a, image + L"|2"}),
              ListedPaths());
    EXPECT_TRUE(PlaylistIsConsistent());
}
