#include "playlist_fixture.h"

#include <algorithm>

#include "player/playlist/playlist.h"
#include "player/playlist/shuffle.h"
#include "test_support.h"

namespace {

class BadInput : public PlaylistTest {
  protected:
    void SetUp() override {
        PlaylistTest::SetUp();
        folder = MakeScratchFolder(L"bad");
        a = MakeTrackFile(folder, L"a.mp3");
        b = MakeTrackFile(folder, L"b.wma");
    }

    // An existing track whose whole path is exactly as long as a path buffer allows.
    std::wstring LongestTrackPath() {
        size_t room = MAX_PATH - 1 - folder.size() - 4;
        return MakeTrackFile(folder, std::wstring(room, L'n') + L".mp3");
    }

    std::wstring folder, a, b;
};

// Bytes 1 to 255 only, so that no zero byte ends the text early.
std::string Noise(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (char &byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = (char)(1 + (seed >> 16) % 255);
    }
    return bytes;
}

std::string Repeated(const std::string &line, size_t times) {
    std::string bytes;
    bytes.reserve(line.size() * times);
    for (size_t i = 0; i < times; ++i)
        bytes += line;
    return bytes;
}

} // namespace

TEST_F(BadInput, SeveralMegabytesOfMostlyMissingFiles) {
    std::string missing = Ansi(L"Z:\\nowhere\\" + std::wstring(100, L'm') + L".mp3\r\n");
    std::string block = Repeated(missing, 49) + Ansi(a + L"\r\n");
    std::string bytes = Repeated(block, 1000);
    ASSERT_GT(bytes.size(), 5u * 1024 * 1024);
    EXPECT_EQ(1000, LoadPlaylistBytes(folder, bytes));
    EXPECT_EQ(1000, TrackCounter);
    EXPECT_TRUE(PlaylistIsConsistent());
}

TEST_F(BadInput, BinaryNoise) {
    EXPECT_EQ(0, LoadPlaylistBytes(folder, Noise(2 * 1024 * 1024, 7)));
    EXPECT_TRUE(PlaylistIsConsistent());
    EXPECT_EQ(2,
              LoadPlaylistBytes(folder, Ansi(a + L"\r\n") + Noise(300000, 11) + Ansi(L"\n" + b)));
    EXPECT_EQ((std::vector<std::wstring>{a, b}), ListedPaths());
    std::string withZeros = Noise(100000, 13);
    for (size_t i = 1000; i < withZeros.size(); i += 997)
        withZeros[i] = '\0';
    EXPECT_EQ(1, LoadPlaylistBytes(folder, Ansi(a + L"\r\n") + withZeros));
    EXPECT_TRUE(PlaylistIsConsistent());
}

TEST_F(BadInput, OverlongLinesAreRefusedWhole) {
    std::wstring longest = LongestTrackPath();
    ASSERT_EQ(size_t(MAX_PATH - 1), longest.size());
    EXPECT_EQ(1, IsPlayableFile(longest.c_str()));

    // Were these lines cut to the buffer, they would name the existing file.
    std::wstring tooLong = longest + L"3";
    std::wstring farTooLong = longest + std::wstring(100000 - longest.size(), L'3');
    EXPECT_EQ(0, IsPlayableFile(tooLong.c_str()));
    EXPECT_EQ(0, IsPlayableFile(farTooLong.c_str()));
    EXPECT_EQ(2, LoadPlaylistBytes(folder, Ansi(a + L"\r\n" + farTooLong + L"\r\n" + tooLong +
                                                L"\n" + longest + L"\r\n" + farTooLong)));
    EXPECT_EQ((std::vector<std::wstring>{a, longest}), ListedPaths());
    EXPECT_EQ(0, InsertTrack(-1, farTooLong.c_str()));
    EXPECT_EQ(2, TrackCounter);
    EXPECT_EQ(0, LoadPlaylistBytes(folder, Ansi(std::wstring(100000, L'x'))));
}

// An existing file whose path is longer than the buffer, and whose cut copy
// would end in an accepted extension that is not its own.
TEST_F(BadInput, OverlongExistingFileIsNotJudgedByACutCopy) {
    size_t room = MAX_PATH - 1 - folder.size() - 4;
    std::wstring name = std::wstring(room, L'k') + L".mp3.txt";
    std::wstring path = folder + name;
    if (!WriteBytes(path, std::string()))
        GTEST_SKIP() << "this file system takes no path of " << path.size() << " characters";
    EXPECT_EQ(0, IsPlayableFile(path.c_str()));
    EXPECT_EQ(0, LoadPlaylistBytes(folder, Ansi(path + L"\r\n")));
    DeletePath(path);
}

TEST_F(BadInput, SameFileSeventyThousandTimes) {
    const LONG times = 70000;
    ASSERT_EQ(times, LoadPlaylistBytes(folder, Repeated(Ansi(a + L"\r\n"), times)));
    EXPECT_TRUE(PlaylistIsConsistent());
    EXPECT_EQ(times, GetTrack(times - 1)->TrackId);
    EXPECT_EQ(NULL, GetTrack(times));

    BuildShuffle();
    std::vector<LONG> cycle = ShuffleTrackIds(PendingList);
    LONG first = cycle.front();
    std::sort(cycle.begin(), cycle.end());
    ASSERT_EQ(size_t(times), cycle.size());
    for (LONG i = 0; i < times; ++i)
        ASSERT_EQ(i + 1, cycle[i]);
    EXPECT_EQ(first - 1, NextShuffled());
    EXPECT_TRUE(ShuffleIsConsistent());
}

TEST_F(BadInput, NullPaths) {
    ASSERT_EQ(1, InsertTrack(-1, a.c_str()));
    EXPECT_EQ(0, InsertTrack(-1, NULL));
    EXPECT_EQ(0, IsPlayableFile(NULL));
    EXPECT_EQ(1, CountTracks());
    LoadPlaylistFile(NULL);
    EXPECT_EQ(0, CountTracks());
    EXPECT_EQ(0, TrackCounter);
}

// A sync client or scanner holding the playlist open must not empty the
// list; a file of 4 GB and a few bytes is refused as large, not read as its
// few bytes.
TEST_F(BadInput, PlaylistHeldOpenByOthersIsReadAndItsWholeSizeCounts) {
    std::wstring path = folder + L"list.m3u";
    std::string lines = Ansi(a + L"\r\n" + b + L"\r\n");
    ASSERT_TRUE(WriteBytes(path, lines));
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    LoadPlaylistFile(path.c_str());
    EXPECT_EQ((std::vector<std::wstring>{a, b}), ListedPaths());

    // Sparse: the file takes no room on disk. Its size cut to 32 bits would
    // be just the two lines.
    LARGE_INTEGER end;
    end.QuadPart = 0x100000000LL + (LONGLONG)lines.size();
    ASSERT_TRUE(SetFilePointerEx(held, end, NULL, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(held));
    LoadPlaylistFile(path.c_str());
    EXPECT_EQ(0, CountTracks());
    CloseHandle(held);
    DeletePath(path);
}
