#include "playlist_fixture.h"

#include <algorithm>

#include "player/playlist/playlist.h"
#include "player/playlist/random_source.h"
#include "player/playlist/shuffle.h"
#include "test_support.h"

namespace {

class Shuffle : public PlaylistTest {
  protected:
    void SetUp() override {
        PlaylistTest::SetUp();
        folder = MakeScratchFolder(L"shuffle");
        track = MakeTrackFile(folder, L"track.mp3");
        Seed(2005, 1, 2, 3, 4, 5, 6);
    }

    void Seed(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms) {
        SYSTEMTIME time = LocalTime(year, month, day, hour, minute, second, ms);
        SeedRandom(&time);
    }

    void AppendTracks(int count) {
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(1, InsertTrack(-1, track.c_str()));
    }

    // The TrackId of the entry at the index, or 0 for no index.
    LONG TrackIdAt(LONG index) {
        if (index < 0)
            return 0;
        TRACKENTRY *entry = GetTrack(index);
        return entry ? entry->TrackId : -1;
    }

    std::wstring folder;
    std::wstring track;
};

// The cycle as described: TrackIds pushed to the front of a list, then each
// node from the first exchanges its TrackId with the node at position
// DrawIndex(n) + 1, found by walking from the first node every time.
struct WalkNode {
    LONG trackId;
    WalkNode *next;
};

std::vector<LONG> DescribedCycle(const std::vector<LONG> &listOrder) {
    WalkNode *first = NULL;
    for (LONG trackId : listOrder)
        first = new WalkNode{trackId, first};
    LONG count = (LONG)listOrder.size();
    for (WalkNode *node = first; node; node = node->next) {
        LONG k = DrawIndex(count);
        WalkNode *partner = first;
        for (LONG position = 0; partner && position < k + 1; ++position)
            partner = partner->next;
        if (partner)
            std::swap(node->trackId, partner->trackId);
    }
    std::vector<LONG> cycle;
    while (first) {
        WalkNode *next = first->next;
        cycle.push_back(first->trackId);
        delete first;
        first = next;
    }
    return cycle;
}

} // namespace

// Figures worked out by hand for the local time 2005-01-02 03:04:05.006.
TEST_F(Shuffle, KnownSeedGivesKnownCycle) {
    AppendTracks(5);
    ASSERT_EQ((std::vector<LONG>{1, 2, 3, 4, 5}), ListedTrackIds());
    BuildShuffle();
    EXPECT_EQ((std::vector<LONG>{2, 5, 1, 3, 4}), ShuffleTrackIds(PendingList));
    EXPECT_EQ(230338285u, RandomState);
    EXPECT_TRUE(ShuffleTrackIds(PlayedList).empty());

    std::vector<LONG> played;
    for (int i = 0; i < 5; ++i)
        played.push_back(NextShuffled());
    EXPECT_EQ((std::vector<LONG>{1, 4, 0, 2, 3}), played);
    EXPECT_EQ((std::vector<LONG>{4, 3, 1, 5, 2}), ShuffleTrackIds(PlayedList));
    EXPECT_TRUE(ShuffleTrackIds(PendingList).empty());
    EXPECT_TRUE(ShuffleIsConsistent());
}

TEST_F(Shuffle, GatheredExchangeGivesTheOrderOfTheDescribedWalk) {
    const LONG sizes[] = {0,  1,  2,  3,  4,  5,   6,   7,   8,   9,    10,
                          11, 16, 17, 31, 64, 100, 255, 256, 257, 1000, 2500};
    int seed = 0;
    for (LONG size : sizes) {
        for (int round = 0; round < 6; ++round, ++seed) {
            ClearShuffle();
            ClearPlaylist();
            // Removing every third entry leaves TrackIds that are not the indexes.
            TRACKENTRY *last = Playlist;
            for (LONG i = 0; i < size + size / 2; ++i)
                last = LinkNewTrack(last, L"x.mp3");
            for (LONG i = size + size / 2 - 1; i >= 0; --i)
                if (i % 3 == 2)
                    RemoveTrack(i);
            ASSERT_EQ(size, CountTracks());

            Seed((WORD)(1990 + seed), (WORD)(1 + seed % 12), (WORD)(1 + seed % 28),
                 (WORD)(seed % 24), (WORD)(seed * 7 % 60), (WORD)(seed * 13 % 60),
                 (WORD)(seed * 37 % 1000));
            DWORD start = RandomState;
            std::vector<LONG> expected = DescribedCycle(ListedTrackIds());
            DWORD end = RandomState;

            RandomState = start;
            BuildShuffle();
            ASSERT_EQ(expected, ShuffleTrackIds(PendingList))
                << "size " << size << " seed " << seed;
            ASSERT_EQ(end, RandomState) << "size " << size << " seed " << seed;
            ASSERT_TRUE(ShuffleIsConsistent());
        }
    }
}

TEST_F(Shuffle, TwoEntriesAlwaysKeepListOrder) {
    AppendTracks(2);
    for (int round = 0; round < 50; ++round) {
        DWORD before = RandomState;
        BuildShuffle();
        EXPECT_EQ((std::vector<LONG>{1, 2}), ShuffleTrackIds(PendingList));
        EXPECT_NE(before, RandomState);
    }
}

TEST_F(Shuffle, OneEntryStartsACycleAtEveryStep) {
    AppendTracks(1);
    DWORD before = RandomState;
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(0, NextShuffled());
        // The new cycle drops the history of the last one.
        EXPECT_EQ((std::vector<LONG>{1}), ShuffleTrackIds(PlayedList));
        EXPECT_TRUE(ShuffleTrackIds(PendingList).empty());
    }
    EXPECT_EQ(before, RandomState);
    EXPECT_EQ(-1, PrevShuffled());
    EXPECT_TRUE(ShuffleTrackIds(PlayedList).empty());
}

TEST_F(Shuffle, EmptyPlaylistGivesNoIndex) {
    DWORD before = RandomState;
    EXPECT_EQ(-1, NextShuffled());
    EXPECT_EQ(-1, PrevShuffled());
    EXPECT_EQ(0, MarkPlayed(1));
    EXPECT_EQ(before, RandomState);
    EXPECT_TRUE(ShuffleTrackIds(PendingList).empty());
    EXPECT_TRUE(ShuffleTrackIds(PlayedList).empty());
}

TEST_F(Shuffle, StepsForwardAndBackThroughACycle) {
    AppendTracks(6);
    ASSERT_GE(NextShuffled(), 0);
    // Right after the first track of a cycle there is nothing to go back to,
    // and the track left behind does not come again.
    EXPECT_EQ(-1, PrevShuffled());
    EXPECT_TRUE(ShuffleTrackIds(PlayedList).empty());
    EXPECT_EQ(5u, ShuffleTrackIds(PendingList).size());

    LONG a = NextShuffled();
    LONG b = NextShuffled();
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_EQ(a, PrevShuffled());
    EXPECT_EQ((std::vector<LONG>{TrackIdAt(a)}), ShuffleTrackIds(PlayedList));
    std::vector<LONG> rest;
    while (!ShuffleTrackIds(PendingList).empty())
        rest.push_back(TrackIdAt(NextShuffled()));
    ASSERT_EQ(3u, rest.size());
    EXPECT_EQ(rest.end(), std::find(rest.begin(), rest.end(), TrackIdAt(b)));
    EXPECT_EQ(rest.end(), std::find(rest.begin(), rest.end(), TrackIdAt(a)));
    EXPECT_TRUE(ShuffleIsConsistent());

    // Back through the history, most recent first, and past its start.
    EXPECT_EQ(rest[1], TrackIdAt(PrevShuffled()));
    EXPECT_EQ(rest[0], TrackIdAt(PrevShuffled()));
    EXPECT_EQ(a, PrevShuffled());
    EXPECT_EQ(-1, PrevShuffled());
    EXPECT_EQ(-1, PrevShuffled());
    EXPECT_TRUE(ShuffleTrackIds(PlayedList).empty());
}

TEST_F(Shuffle, TrackStartedByOtherMeansLeavesTheCycle) {
    AppendTracks(5);
    BuildShuffle();
    std::vector<LONG> pending = ShuffleTrackIds(PendingList);
    LONG chosen = pending[2];
    EXPECT_EQ(1, MarkPlayed(chosen));
    EXPECT_EQ((std::vector<LONG>{chosen}), ShuffleTrackIds(PlayedList));
    EXPECT_EQ(0, MarkPlayed(chosen));
    EXPECT_EQ(0, MarkPlayed(99));
    EXPECT_EQ((std::vector<LONG>{chosen}), ShuffleTrackIds(PlayedList));
    EXPECT_TRUE(ShuffleIsConsistent());

    std::vector<LONG> order;
    while (!ShuffleTrackIds(PendingList).empty())
        order.push_back(TrackIdAt(NextShuffled()));
    pending.erase(pending.begin() + 2);
    EXPECT_EQ(pending, order);
    // A track marked at the front and at the back of the pending list.
    BuildShuffle();
    pending = ShuffleTrackIds(PendingList);
    EXPECT_EQ(1, MarkPlayed(pending.front()));
    EXPECT_EQ(1, MarkPlayed(pending.back()));
    EXPECT_EQ((std::vector<LONG>{pending.back(), pending.front()}), ShuffleTrackIds(PlayedList));
    EXPECT_EQ(std::vector<LONG>(pending.begin() + 1, pending.end() - 1),
              ShuffleTrackIds(PendingList));
    EXPECT_TRUE(ShuffleIsConsistent());
}

TEST_F(Shuffle, RemovedEntryYieldsNoIndexWhenReached) {
    AppendTracks(5);
    BuildShuffle();
    std::vector<LONG> pending = ShuffleTrackIds(PendingList);
    LONG removed = pending[1];
    ASSERT_EQ(1, RemoveTrack(removed - 1)); // TrackIds 1..5 sit at indexes 0..4
    std::vector<LONG> order;
    std::vector<LONG> indexes;
    for (size_t i = 0; i < pending.size(); ++i) {
        LONG index = NextShuffled();
        indexes.push_back(index);
        order.push_back(index < 0 ? removed : TrackIdAt(index));
    }
    EXPECT_EQ(pending, order);
    EXPECT_EQ(-1, indexes[1]);
    // The removed TrackId is consumed like any other.
    EXPECT_EQ(removed, ShuffleTrackIds(PlayedList)[3]);
    EXPECT_TRUE(ShuffleTrackIds(PendingList).empty());
    // Stepping back onto it gives no index either.
    PrevShuffled();
    PrevShuffled();
    EXPECT_EQ(-1, PrevShuffled());
}

TEST_F(Shuffle, InsertedEntryWaitsForTheNextCycle) {
    AppendTracks(4);
    std::vector<LONG> first = {TrackIdAt(NextShuffled())};
    ASSERT_EQ(1, InsertTrack(0, track.c_str()));
    ASSERT_EQ(5, GetTrack(0)->TrackId);
    while (!ShuffleTrackIds(PendingList).empty())
        first.push_back(TrackIdAt(NextShuffled()));
    std::sort(first.begin(), first.end());
    EXPECT_EQ((std::vector<LONG>{1, 2, 3, 4}), first);

    std::vector<LONG> second = {TrackIdAt(NextShuffled())};
    EXPECT_EQ(1u, ShuffleTrackIds(PlayedList).size());
    while (!ShuffleTrackIds(PendingList).empty())
        second.push_back(TrackIdAt(NextShuffled()));
    std::sort(second.begin(), second.end());
    EXPECT_EQ((std::vector<LONG>{1, 2, 3, 4, 5}), second);
}

TEST_F(Shuffle, ClearingEmptiesBothListsAndMissingHeadsAreHarmless) {
    AppendTracks(3);
    NextShuffled();
    ClearShuffle();
    EXPECT_TRUE(ShuffleTrackIds(PendingList).empty());
    EXPECT_TRUE(ShuffleTrackIds(PlayedList).empty());

    FreeShuffleHeads();
    EXPECT_EQ(NULL, PendingList);
    EXPECT_EQ(NULL, PlayedList);
    BuildShuffle();
    ClearShuffle();
    EXPECT_EQ(-1, NextShuffled());
    EXPECT_EQ(-1, PrevShuffled());
    EXPECT_EQ(0, MarkPlayed(1));
    FreeShuffleHeads();
}
