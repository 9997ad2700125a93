#include "playlist_fixture.h"

#include "player/core/player_state.h"
#include "player/playlist/playlist.h"
#include "test_support.h"

namespace {

class Store : public PlaylistTest {
  protected:
    void SetUp() override {
        PlaylistTest::SetUp();
        folder = MakeScratchFolder(L"store");
        a = MakeTrackFile(folder, L"a.mp3");
        b = MakeTrackFile(folder, L"b.ogg");
        c = MakeTrackFile(folder, L"c.flac");
        d = MakeTrackFile(folder, L"d.wav");
    }

    void InsertThree() {
        ASSERT_EQ(1, InsertTrack(-1, a.c_str()));
        ASSERT_EQ(1, InsertTrack(-1, b.c_str()));
        ASSERT_EQ(1, InsertTrack(-1, c.c_str()));
    }

    std::wstring folder, a, b, c, d;
};

} // namespace

TEST_F(Store, InsertionAtTheBoundaries) {
    // On an empty list 0 and -1 both make the first entry; 1 lies beyond it.
    EXPECT_EQ(0, InsertTrack(1, a.c_str()));
    EXPECT_EQ(1, InsertTrack(0, a.c_str()));
    ClearPlaylist();
    EXPECT_EQ(1, InsertTrack(-1, a.c_str()));
    EXPECT_EQ((std::vector<std::wstring>{a}), ListedPaths());
    ClearPlaylist();

    InsertThree();
    EXPECT_EQ(0, InsertTrack(4, d.c_str()));
    EXPECT_EQ(3, TrackCounter);
    EXPECT_EQ(1, InsertTrack(3, d.c_str()));
    EXPECT_EQ(d, GetTrack(3)->Path);
    EXPECT_EQ(1, InsertTrack(-5, d.c_str()));
    EXPECT_EQ(5, GetTrack(4)->TrackId);
    EXPECT_EQ(1, InsertTrack(0, d.c_str()));
    EXPECT_EQ(1, InsertTrack(2, d.c_str()));
    EXPECT_EQ((std::vector<std::wstring>{d, a, d, b, c, d, d}), ListedPaths());
    EXPECT_EQ((std::vector<LONG>{6, 1, 7, 2, 3, 4, 5}), ListedTrackIds());
    EXPECT_TRUE(PlaylistIsConsistent());
}

TEST_F(Store, RefusedInsertionChangesNothing) {
    InsertThree();
    CreateDirectoryW((folder + L"dir.mp3").c_str(), NULL);
    MakeTrackFile(folder, L"upper.MP3");
    MakeTrackFile(folder, L"text.txt");
    const std::wstring refused[] = {folder + L"missing.mp3", folder + L"upper.MP3",
                                    folder + L"text.txt", folder + L"dir.mp3", L""};
    for (const std::wstring &path : refused)
        EXPECT_EQ(0, InsertTrack(-1, path.c_str())) << Utf8(path);
    EXPECT_EQ(0, InsertTrack(0, NULL));
    EXPECT_EQ(3, TrackCounter);
    EXPECT_EQ((std::vector<std::wstring>{a, b, c}), ListedPaths());
}

TEST_F(Store, EntryKeepsItsOwnCopyOfThePath) {
    WCHAR path[MAX_PATH];
    lstrcpynW(path, a.c_str(), MAX_PATH);
    ASSERT_EQ(1, InsertTrack(0, path));
    path[0] = L'?';
    TRACKENTRY *entry = GetTrack(0);
    EXPECT_NE(path, entry->Path);
    EXPECT_EQ(a, entry->Path);
    EXPECT_EQ(Playlist, entry->Prev);
    EXPECT_TRUE(PlaylistIsConsistent());
}

TEST_F(Store, TrackIdsAreNotReusedUntilTheListIsCleared) {
    InsertThree();
    ASSERT_EQ(1, RemoveTrack(1));
    ASSERT_EQ(1, InsertTrack(-1, d.c_str()));
    EXPECT_EQ((std::vector<LONG>{1, 3, 4}), ListedTrackIds());
    ClearPlaylist();
    EXPECT_EQ(0, TrackCounter);
    EXPECT_EQ(NULL, Playlist->Next);
    ASSERT_EQ(1, InsertTrack(-1, d.c_str()));
    EXPECT_EQ((std::vector<LONG>{1}), ListedTrackIds());
}

TEST_F(Store, RemovalAtTheBoundaries) {
    EXPECT_EQ(0, RemoveTrack(0));
    EXPECT_EQ(0, RemoveTrack(-1));
    InsertThree();
    EXPECT_EQ(0, RemoveTrack(3));
    EXPECT_EQ(1, RemoveTrack(2));
    EXPECT_EQ((std::vector<std::wstring>{a, b}), ListedPaths());
    EXPECT_EQ(1, RemoveTrack(-1));
    EXPECT_EQ((std::vector<std::wstring>{b}), ListedPaths());
    EXPECT_TRUE(PlaylistIsConsistent());
    EXPECT_EQ(1, RemoveTrack(0));
    EXPECT_EQ(NULL, Playlist->Next);
    EXPECT_EQ(0, CountTracks());
    EXPECT_EQ(3, TrackCounter);
    EXPECT_EQ(0, RemoveTrack(0));
}

TEST_F(Store, LookupAtTheBoundaries) {
    EXPECT_EQ(NULL, GetTrack(0));
    EXPECT_EQ(NULL, GetTrack(-1));
    InsertThree();
    EXPECT_EQ(a, GetTrack(-3)->Path);
    EXPECT_EQ(a, GetTrack(0)->Path);
    EXPECT_EQ(c, GetTrack(2)->Path);
    EXPECT_EQ(NULL, GetTrack(3));
    EXPECT_EQ(NULL, GetTrack(MAXLONG));
    EXPECT_EQ(2, FindTrackIndex(3));
    EXPECT_EQ(-1, FindTrackIndex(4));
}

TEST_F(Store, TrackNoIsSetOnlyInsideTheList) {
    InsertThree();
    PlayerState->TrackNo = 1;
    EXPECT_EQ(0, SetTrackNo(3));
    EXPECT_EQ(0, SetTrackNo(-1));
    EXPECT_EQ(1, PlayerState->TrackNo);
    EXPECT_EQ(1, SetTrackNo(2));
    EXPECT_EQ(2, PlayerState->TrackNo);
    EXPECT_EQ(1, SetTrackNo(0));
    EXPECT_EQ(0, PlayerState->TrackNo);
}

TEST_F(Store, NothingIsFoundBeforeTheHeadExists) {
    FreePlaylistHead();
    ASSERT_EQ(NULL, Playlist);
    EXPECT_EQ(0, CountTracks());
    EXPECT_EQ(NULL, GetTrack(0));
    EXPECT_EQ(0, InsertTrack(-1, a.c_str()));
    EXPECT_EQ(0, RemoveTrack(0));
    EXPECT_EQ(0, SetTrackNo(0));
    EXPECT_EQ(0, TrackCounter);
    ClearPlaylist();
    LoadPlaylistBytes(folder, Ansi(a) + "\r\n");
    EXPECT_EQ(NULL, Playlist);
    EXPECT_EQ(0, TrackCounter);
}

TEST_F(Store, PlayableFilesByExtension) {
    const wchar_t *accepted[] = {L".mp1", L".mp2",  L".mp3", L".wav", L".ogg", L".wma",
                                 L".fla", L".flac", L".ape", L".tta", L".mp4", L".m4a",
                                 L".aac", L".opus", L".wv",  L".tak"};
    for (const wchar_t *extension : accepted) {
        std::wstring path = MakeTrackFile(folder, std::wstring(L"t") + extension);
        EXPECT_EQ(1, IsPlayableFile(path.c_str())) << Utf8(path);
    }
    const wchar_t *refused[] = {L"t.MP3", L"t.Flac", L"t.mp",  L"t.mp3.txt", L"t.flacc", L"t.m3u",
                                L"mp3",   L"t.",     L"t.opu", L"t.Opus",    L"t.WV",    L"t.ta"};
    for (const wchar_t *name : refused) {
        std::wstring path = MakeTrackFile(folder, name);
        EXPECT_EQ(0, IsPlayableFile(path.c_str())) << Utf8(path);
    }
    EXPECT_EQ(0, IsPlayableFile((folder + L"gone.mp3").c_str()));
    EXPECT_EQ(0, IsPlayableFile(NULL));
    EXPECT_EQ(0, IsPlayableFile(L""));
}

TEST_F(Store, FoldersAreNotPlayable) {
    std::wstring named = folder + L"album.mp3";
    CreateDirectoryW(named.c_str(), NULL);
    EXPECT_EQ(0, IsPlayableFile(named.c_str()));
    // The last dot of the whole path decides, even when it lies in a folder name.
    std::wstring inside = MakeTrackFile(named + L"\\", L"song");
    EXPECT_EQ(0, IsPlayableFile(inside.c_str()));
}
