#include "playlist_fixture.h"

#include <set>

#include "player/core/player_state.h"
#include "player/playlist/playlist.h"
#include "test_support.h"

void PlaylistTest::SetUp() {
    ASSERT_TRUE(CreatePlayerRecords());
    FreeShuffleHeads();
    FreePlaylistHead();
    ASSERT_TRUE(CreatePlaylistHead());
    ASSERT_TRUE(CreateShuffleHeads());
    PlaylistLoaded = 0;
}

void PlaylistTest::TearDown() {
    FreeShuffleHeads();
    FreePlaylistHead();
}

std::wstring MakeTrackFile(const std::wstring &folder, const std::wstring &name) {
    std::wstring path = folder + name;
    EXPECT_TRUE(WriteBytes(path, std::string())) << Utf8(path);
    return path;
}

LONG LoadPlaylistBytes(const std::wstring &folder, const std::string &bytes) {
    std::wstring path = folder + L"list.m3u";
    EXPECT_TRUE(WriteBytes(path, bytes));
    LoadPlaylistFile(path.c_str());
    return CountTracks();
}

std::string Ansi(const std::wstring &text) {
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), &bytes[0], size, NULL, NULL);
    return bytes;
}

std::vector<std::wstring> ListedPaths() {
    std::vector<std::wstring> paths;
    for (TRACKENTRY *entry = Playlist ? Playlist->Next : NULL; entry; entry = entry->Next)
        paths.push_back(entry->Path);
    return paths;
}

std::vector<LONG> ListedTrackIds() {
    std::vector<LONG> ids;
    for (TRACKENTRY *entry = Playlist ? Playlist->Next : NULL; entry; entry = entry->Next)
        ids.push_back(entry->TrackId);
    return ids;
}

std::vector<LONG> ShuffleTrackIds(const SHUFFLENODE *head) {
    std::vector<LONG> ids;
    for (const SHUFFLENODE *node = head ? head->Next : NULL; node; node = node->Next)
        ids.push_back(node->TrackId);
    return ids;
}

// Far more than any test makes: a longer walk means the links form a loop.
static const LONG LongestWalk = 10000000;

::testing::AssertionResult PlaylistIsConsistent() {
    if (!Playlist)
        return CountTracks() == 0 ? ::testing::AssertionSuccess()
                                  : ::testing::AssertionFailure() << "entries without a head";
    if (Playlist->Prev || Playlist->TrackId || Playlist->Path)
        return ::testing::AssertionFailure() << "the head holds data";
    std::set<LONG> ids;
    LONG walked = 0;
    const TRACKENTRY *prev = Playlist;
    for (const TRACKENTRY *entry = Playlist->Next; entry; prev = entry, entry = entry->Next) {
        if (++walked > LongestWalk)
            return ::testing::AssertionFailure() << "the links form a loop";
        if (entry->Prev != prev)
            return ::testing::AssertionFailure() << "entry " << walked - 1 << " has a wrong Prev";
        if (!entry->Path)
            return ::testing::AssertionFailure() << "entry " << walked - 1 << " has no path";
        if (entry->Reserved1 || entry->Reserved2 || entry->Reserved3 || entry->ReservedText1 ||
            entry->ReservedText2 || entry->ReservedText3)
            return ::testing::AssertionFailure() << "entry " << walked - 1 << " has reserved data";
        if (entry->TrackId < 1 || entry->TrackId > TrackCounter)
            return ::testing::AssertionFailure()
                   << "TrackId " << entry->TrackId << " beyond " << TrackCounter;
        if (!ids.insert(entry->TrackId).second)
            return ::testing::AssertionFailure() << "TrackId " << entry->TrackId << " twice";
    }
    if (walked != CountTracks())
        return ::testing::AssertionFailure()
               << "walked " << walked << ", counted " << CountTracks();
    return ::testing::AssertionSuccess();
}

static ::testing::AssertionResult NodesAreLinked(const SHUFFLENODE *head, std::set<LONG> &ids) {
    if (!head)
        return ::testing::AssertionFailure() << "no head";
    if (head->Prev)
        return ::testing::AssertionFailure() << "a head has a Prev";
    LONG walked = 0;
    const SHUFFLENODE *prev = head;
    for (const SHUFFLENODE *node = head->Next; node; prev = node, node = node->Next) {
        if (++walked > LongestWalk)
            return ::testing::AssertionFailure() << "the links form a loop";
        if (node->Prev != prev)
            return ::testing::AssertionFailure() << "node " << walked - 1 << " has a wrong Prev";
        if (!ids.insert(node->TrackId).second)
            return ::testing::AssertionFailure() << "TrackId " << node->TrackId << " twice";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ShuffleIsConsistent() {
    std::set<LONG> ids;
    ::testing::AssertionResult played = NodesAreLinked(PlayedList, ids);
    if (!played)
        return played << " in the played list";
    ::testing::AssertionResult pending = NodesAreLinked(PendingList, ids);
    if (!pending)
        return pending << " in the pending list";
    return ::testing::AssertionSuccess();
}

SYSTEMTIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                     WORD milliseconds) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = milliseconds;
    return time;
}
