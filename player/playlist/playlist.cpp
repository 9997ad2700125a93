#include "player/playlist/playlist.h"

#include "tonquil_heap.h"
#include "player/core/player_state.h"
#include "player/playlist/cue_sheet_cache.h"

TRACKENTRY *Playlist;
LONG TrackCounter;
int PlaylistLoaded;

int CreatePlaylistHead() {
    if (!Playlist)
        Playlist = (TRACKENTRY *)HeapZeroAlloc(sizeof(TRACKENTRY));
    return Playlist != NULL;
}

void FreePlaylistHead() {
    ClearPlaylist();
    FreeCachedCueSheet();
    HeapRelease(Playlist);
    Playlist = NULL;
}

static void FreeEntry(TRACKENTRY *entry) {
    HeapRelease(entry->Path);
    HeapRelease(entry->ReservedText1);
    HeapRelease(entry->ReservedText2);
    HeapRelease(entry->ReservedText3);
    HeapRelease(entry);
}

// A new entry with the next TrackId, or NULL (the counter then stays).
static TRACKENTRY *CreateEntry(const WCHAR *path) {
    TRACKENTRY *entry = (TRACKENTRY *)HeapZeroAlloc(sizeof(TRACKENTRY));
    if (!entry)
        return NULL;
    entry->Path = HeapCopyText(path);
    if (!entry->Path) {
        HeapRelease(entry);
        return NULL;
    }
    entry->TrackId = ++TrackCounter;
    return entry;
}

TRACKENTRY *LinkNewTrack(TRACKENTRY *node, const WCHAR *path) {
    TRACKENTRY *entry = CreateEntry(path);
    if (!entry)
        return NULL;
    entry->Next = node->Next;
    entry->Prev = node;
    if (node->Next)
        node->Next->Prev = entry;
    node->Next = entry;
    return entry;
}

LONG CountTracks() {
    if (!Playlist)
        return 0;
    LONG count = 0;
    for (TRACKENTRY *entry = Playlist->Next; entry; entry = entry->Next)
        ++count;
    return count;
}

TRACKENTRY *GetTrack(LONG index) {
    if (!Playlist)
        return NULL;
    TRACKENTRY *entry = Playlist->Next;
    for (LONG i = 0; entry && i < index; ++i)
        entry = entry->Next;
    return entry;
}

LONG FindTrackIndex(LONG trackId) {
    if (!Playlist)
        return -1;
    LONG index = 0;
    for (TRACKENTRY *entry = Playlist->Next; entry; entry = entry->Next, ++index)
        if (entry->TrackId == trackId)
            return index;
    return -1;
}

int InsertTrack(LONG index, const WCHAR *path) {
    if (!Playlist || !path)
        return 0;
    if (index < 0) {
        LONG count = CountTracks();
        index = count ? count : -1;
    }
    TRACKENTRY *node = Playlist;
    for (LONG position = 0; position < index; ++position) {
        node = node->Next;
        if (!node)
            return 0;
    }
    return LinkPathEntries(node, path) != NULL;
}

int RemoveTrack(LONG index) {
    TRACKENTRY *entry = GetTrack(index);
    if (!entry)
        return 0;
    if (entry->Prev)
        entry->Prev->Next = entry->Next;
    if (entry->Next)
        entry->Next->Prev = entry->Prev;
    FreeEntry(entry);
    return 1;
}

int SetTrackNo(LONG index) {
    if (index < 0 || index >= CountTracks())
        return 0;
    PlayerState->TrackNo = index;
    return 1;
}

void ClearPlaylist() {
    if (!Playlist)
        return;
    TRACKENTRY *entry = Playlist->Next;
    while (entry) {
        TRACKENTRY *next = entry->Next;
        FreeEntry(entry);
        entry = next;
    }
    Playlist->Next = NULL;
    Playlist->Prev = NULL;
    TrackCounter = 0;
}
