// The player takes everything from the process heap. These tests take the
// address space and then the heap's free room away, give it back a little at
// a time, and check the lists after every step. Nothing may ask for memory
// while the heap is exhausted, so every check here walks the lists in place
// and the results are judged only after everything is given back.
#include "playlist_fixture.h"

#include "player/playlist/playlist.h"
#include "player/playlist/shuffle.h"
#include "test_support.h"

#ifndef _WIN64

namespace {

const size_t MostReservations = 100000;
const size_t MostBlocks = 1000000;
const int MostSteps = 4000;
const LONG Lines = 300;

struct Squeeze {
    void *reservations[MostReservations];
    size_t reservationCount;
    void *blocks[MostBlocks];
    SIZE_T sizes[MostBlocks];
    size_t blockCount;
};

// The address space goes first, down to single pages (Wine hands out areas
// smaller than the allocation granularity), so that the heap cannot grow; then
// the heap's free room, in every block size, so that no size has a slot left.
void TakeEverything(Squeeze &squeeze) {
    squeeze.reservationCount = 0;
    for (SIZE_T size = 256u << 20; size >= 4096; size /= 2) {
        void *area;
        while (squeeze.reservationCount < MostReservations &&
               (area = VirtualAlloc(NULL, size, MEM_RESERVE, PAGE_NOACCESS)))
            squeeze.reservations[squeeze.reservationCount++] = area;
    }
    squeeze.blockCount = 0;
    for (SIZE_T size = 4096; size >= 8; size -= 8) {
        void *block;
        while (squeeze.blockCount < MostBlocks && (block = HeapAlloc(GetProcessHeap(), 0, size))) {
            squeeze.sizes[squeeze.blockCount] = size;
            squeeze.blocks[squeeze.blockCount++] = block;
        }
    }
}

// Gives back the most recent blocks, the smallest, until bytes are free.
void GiveBack(Squeeze &squeeze, SIZE_T bytes) {
    SIZE_T given = 0;
    while (squeeze.blockCount && given < bytes) {
        --squeeze.blockCount;
        HeapFree(GetProcessHeap(), 0, squeeze.blocks[squeeze.blockCount]);
        given += squeeze.sizes[squeeze.blockCount];
    }
}

void GiveBackEverything(Squeeze &squeeze) {
    GiveBack(squeeze, (SIZE_T)-1);
    while (squeeze.reservationCount)
        VirtualFree(squeeze.reservations[--squeeze.reservationCount], 0, MEM_RELEASE);
}

// The entries of a loaded list carry 1, 2, 3, ... and all name the track.
bool LoadedListHolds(const wchar_t *track, LONG *count) {
    LONG walked = 0;
    const TRACKENTRY *prev = Playlist;
    for (const TRACKENTRY *entry = Playlist->Next; entry; prev = entry, entry = entry->Next) {
        if (entry->Prev != prev || entry->TrackId != ++walked || walked > Lines)
            return false;
        if (!entry->Path || lstrcmpW(entry->Path, track) != 0)
            return false;
    }
    *count = walked;
    return walked == CountTracks() && walked == TrackCounter;
}

// Every pending TrackId names an entry, once, and the links hold.
bool PendingListHolds(LONG entries, LONG *count) {
    bool seen[Lines + 1] = {};
    LONG walked = 0;
    const SHUFFLENODE *prev = PendingList;
    for (const SHUFFLENODE *node = PendingList->Next; node; prev = node, node = node->Next) {
        if (node->Prev != prev || node->TrackId < 1 || node->TrackId > entries ||
            seen[node->TrackId])
            return false;
        seen[node->TrackId] = true;
        ++walked;
    }
    *count = walked;
    return PlayedList->Next == NULL;
}

struct Step {
    bool listHolds;
    LONG entries;
    bool pendingHolds;
    LONG pending;
};

Squeeze TheSqueeze;
Step Steps[MostSteps];

class HeapExhaustion : public PlaylistTest {};

} // namespace

TEST_F(HeapExhaustion, ListsStayConsistentAndGrowAsMemoryReturns) {
    std::wstring folder = MakeScratchFolder(L"exhaustion");
    std::wstring track = MakeTrackFile(folder, L"track.mp3");
    std::wstring list = folder + L"list.m3u";
    std::string line = Ansi(track + L"\r\n");
    std::string bytes;
    for (LONG i = 0; i < Lines; ++i)
        bytes += line;
    ASSERT_TRUE(WriteBytes(list, bytes));
    LoadPlaylistFile(list.c_str());
    ASSERT_EQ(Lines, CountTracks());

    TakeEverything(TheSqueeze);
    int insertResult = InsertTrack(-1, track.c_str());
    LONG afterInsert = 0;
    bool holdsAfterInsert = LoadedListHolds(track.c_str(), &afterInsert);
    GiveBackEverything(TheSqueeze);
    EXPECT_EQ(0, insertResult);
    EXPECT_TRUE(holdsAfterInsert);
    EXPECT_EQ(Lines, afterInsert);

    // Cleared first, so that the entries' memory is not waiting for the next load.
    ClearPlaylist();
    TakeEverything(TheSqueeze);
    int steps = 0;
    LONG entries = 0;
    do {
        Step &step = Steps[steps++];
        LoadPlaylistFile(list.c_str());
        step.listHolds = LoadedListHolds(track.c_str(), &step.entries);
        BuildShuffle();
        step.pendingHolds = PendingListHolds(step.entries, &step.pending);
        ClearShuffle();
        entries = step.entries;
        GiveBack(TheSqueeze, 2048);
    } while (entries < Lines && TheSqueeze.blockCount && steps < MostSteps);
    GiveBackEverything(TheSqueeze);

    int shorter = 0;
    for (int i = 0; i < steps; ++i) {
        EXPECT_TRUE(Steps[i].listHolds) << "step " << i;
        EXPECT_TRUE(Steps[i].pendingHolds) << "step " << i;
        EXPECT_LE(Steps[i].pending, Steps[i].entries) << "step " << i;
        if (Steps[i].entries > 0 && Steps[i].entries < Lines)
            ++shorter;
    }
    EXPECT_EQ(0, Steps[0].entries);
    EXPECT_GT(shorter, 0) << "no load ended with a shorter list";
    EXPECT_EQ(Lines, entries) << "the list did not come back whole after " << steps << " steps";

    LoadPlaylistFile(list.c_str());
    EXPECT_EQ(Lines, CountTracks());
    EXPECT_TRUE(PlaylistIsConsistent());
}

#else

// An x64 process has far more address space than a test can take away.
TEST(HeapExhaustion, ListsStayConsistentAndGrowAsMemoryReturns) {
    GTEST_SKIP() << "32-bit only: the address space of an x64 process cannot be used up";
}

#endif
