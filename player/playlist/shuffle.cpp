#include "player/playlist/shuffle.h"

#include "tonquil_heap.h"
#include "player/playlist/playlist.h"
#include "player/playlist/random_source.h"

SHUFFLENODE *PendingList;
SHUFFLENODE *PlayedList;

int CreateShuffleHeads() {
    if (!PlayedList)
        PlayedList = (SHUFFLENODE *)HeapZeroAlloc(sizeof(SHUFFLENODE));
    if (!PendingList)
        PendingList = (SHUFFLENODE *)HeapZeroAlloc(sizeof(SHUFFLENODE));
    return PlayedList && PendingList;
}

void FreeShuffleHeads() {
    ClearShuffle();
    HeapRelease(PlayedList);
    HeapRelease(PendingList);
    PlayedList = NULL;
    PendingList = NULL;
}

static void FreeNodes(SHUFFLENODE *head) {
    if (!head)
        return;
    SHUFFLENODE *node = head->Next;
    while (node) {
        SHUFFLENODE *next = node->Next;
        HeapRelease(node);
        node = next;
    }
    head->Next = NULL;
}

void ClearShuffle() {
    FreeNodes(PlayedList);
    FreeNodes(PendingList);
}

static void PushFront(SHUFFLENODE *head, SHUFFLENODE *node) {
    node->Next = head->Next;
    node->Prev = head;
    if (head->Next)
        head->Next->Prev = node;
    head->Next = node;
}

static void Unlink(SHUFFLENODE *node) {
    node->Prev->Next = node->Next;
    if (node->Next)
        node->Next->Prev = node->Prev;
}

// The TrackIds in reverse list order; gives how many nodes were made.
static LONG FillPending() {
    LONG made = 0;
    for (TRACKENTRY *entry = Playlist ? Playlist->Next : NULL; entry; entry = entry->Next) {
        SHUFFLENODE *node = (SHUFFLENODE *)HeapZeroAlloc(sizeof(SHUFFLENODE));
        if (!node)
            continue;
        node->TrackId = entry->TrackId;
        PushFront(PendingList, node);
        ++made;
    }
    return made;
}

// Each node, from the first, exchanges its TrackId with the node at position
// DrawIndex(n) + 1. The nodes are gathered into an array first so that the
// partner is found without walking the list each time.
static void ExchangeTrackIds(LONG made) {
    SHUFFLENODE **nodes = (SHUFFLENODE **)HeapZeroAlloc((SIZE_T)made * sizeof(SHUFFLENODE *));
    if (!nodes)
        return;
    LONG i = 0;
    for (SHUFFLENODE *node = PendingList->Next; node; node = node->Next)
        nodes[i++] = node;
    LONG count = CountTracks();
    for (i = 0; i < made; ++i) {
        DWORD partner = (DWORD)DrawIndex(count) + 1u;
        if (partner < (DWORD)made) {
            LONG trackId = nodes[i]->TrackId;
            nodes[i]->TrackId = nodes[partner]->TrackId;
            nodes[partner]->TrackId = trackId;
        }
    }
    HeapRelease(nodes);
}

void BuildShuffle() {
    if (!PendingList || !PlayedList)
        return;
    ClearShuffle();
    LONG made = FillPending();
    if (made > 0)
        ExchangeTrackIds(made);
}

int MarkPlayed(LONG trackId) {
    if (!PendingList || !PlayedList)
        return 0;
    SHUFFLENODE *node = PendingList->Next;
    while (node && node->TrackId != trackId)
        node = node->Next;
    if (!node)
        return 0;
    Unlink(node);
    PushFront(PlayedList, node);
    return 1;
}

LONG NextShuffled() {
    if (!PendingList || !PlayedList)
        return -1;
    if (!PendingList->Next)
        BuildShuffle();
    if (!PendingList->Next)
        return -1;
    LONG trackId = PendingList->Next->TrackId;
    MarkPlayed(trackId);
    return FindTrackIndex(trackId);
}

LONG PrevShuffled() {
    if (!PlayedList || !PlayedList->Next)
        return -1;
    SHUFFLENODE *current = PlayedList->Next;
    Unlink(current);
    HeapRelease(current);
    if (!PlayedList->Next)
        return -1;
    return FindTrackIndex(PlayedList->Next->TrackId);
}
