#include "extension/list/track_info.h"

#include "tonquil_heap.h"
#include "extension/common/player_link.h"
#include "extension/window/window_ui.h"

#include <commctrl.h>

#define FIRST_CAPACITY 1024
// The reading behind the rows in view tops the queue up by this many
// entries when it has run down to the low mark.
#define BACKGROUND_BATCH 32
#define BACKGROUND_LOW 4

// Open addressing by TrackId, never fuller than seven tenths.
static TRACK_INFO *Table;
static LONG Capacity; // a power of two
static LONG Used;
static int Round;
static int Background;
static int BackgroundDone;
static LONG Cursor; // the next index the background reading looks at

static TRACK_INFO *Find(TRACK_INFO *table, LONG capacity, LONG trackId) {
    DWORD mask = (DWORD)capacity - 1;
    for (DWORD slot = ((DWORD)trackId * 2654435761u) & mask;; slot = (slot + 1) & mask)
        if (table[slot].State == INFO_FREE || table[slot].TrackId == trackId)
            return &table[slot];
}

static const TRACKENTRY *FirstEntry() {
    return (const TRACKENTRY *)SendToPlayer(CM_GETTRACKENTRY, 0, 0);
}

// Records of entries still in the list (the rest are dropped).
static LONG CountSurvivors() {
    LONG count = 0;
    for (const TRACKENTRY *entry = FirstEntry(); entry && Table; entry = entry->Next)
        if (Find(Table, Capacity, entry->TrackId)->State != INFO_FREE)
            ++count;
    return count;
}

static void FreeTexts(TRACK_INFO *table, LONG capacity) {
    for (LONG slot = 0; slot < capacity; ++slot) {
        HeapRelease(table[slot].Title);
        HeapRelease(table[slot].Artist);
    }
}

// A new table holding the records of the entries still in the list.
static int Rebuild() {
    LONG capacity = FIRST_CAPACITY;
    for (LONG survivors = CountSurvivors(); capacity < 2 * (survivors + 1);)
        capacity *= 2;
    TRACK_INFO *table = (TRACK_INFO *)HeapZeroAlloc(sizeof(TRACK_INFO) * (SIZE_T)capacity);
    if (!table)
        return 0;
    LONG used = 0;
    for (const TRACKENTRY *entry = FirstEntry(); entry && Table; entry = entry->Next) {
        TRACK_INFO *old = Find(Table, Capacity, entry->TrackId);
        TRACK_INFO *slot = Find(table, capacity, entry->TrackId);
        if (old->State == INFO_FREE || slot->State != INFO_FREE)
            continue;
        *slot = *old;
        old->Title = old->Artist = NULL;
        ++used;
    }
    if (Table) {
        FreeTexts(Table, Capacity);
        HeapRelease(Table);
    }
    Table = table;
    Capacity = capacity;
    Used = used;
    return 1;
}

// The entry's record, made when missing; NULL without memory.
static TRACK_INFO *Record(LONG trackId) {
    if ((!Table || (Used + 1) * 10 > Capacity * 7) && !Rebuild() &&
        (!Table || Used + 2 >= Capacity))
        return NULL;
    TRACK_INFO *info = Find(Table, Capacity, trackId);
    if (info->State == INFO_FREE) {
        info->TrackId = trackId;
        info->State = INFO_WANTED;
        ++Used;
    }
    return info;
}

// 0 when the reader cannot run.
static int Ask(TRACK_INFO *info, const TRACKENTRY *entry, LONG row) {
    if (!entry->Path)
        return 1;
    LONG dropped = QueueTrackInfoRead(entry->TrackId, row, entry->Path);
    if (dropped == -2)
        return 0;
    info->State = INFO_ASKED;
    if (dropped >= 0) {
        TRACK_INFO *old = Find(Table, Capacity, dropped);
        if (old->State == INFO_ASKED)
            old->State = INFO_WANTED;
    }
    return 1;
}

static int NeedsReading(const TRACK_INFO *info) {
    return info->State == INFO_WANTED || (info->State == INFO_UNREADABLE && info->Round != Round);
}

const TRACK_INFO *TrackInfoFor(const TRACKENTRY *entry, LONG row) {
    TRACK_INFO *info = Record(entry->TrackId);
    if (!info)
        return NULL;
    if (info->State == INFO_KNOWN)
        return info;
    if (NeedsReading(info))
        Ask(info, entry, row);
    return NULL;
}

const TRACK_INFO *KnownTrackInfo(LONG trackId) {
    TRACK_INFO *info = Table ? Find(Table, Capacity, trackId) : NULL;
    return info && info->State == INFO_KNOWN ? info : NULL;
}

static void FeedBackground() {
    if (!Background || BackgroundDone || QueuedTrackInfoReads() > BACKGROUND_LOW)
        return;
    const TRACKENTRY *entry = EntryAt(Cursor);
    for (int asked = 0; entry && asked < BACKGROUND_BATCH; entry = entry->Next, ++Cursor) {
        TRACK_INFO *info = Record(entry->TrackId);
        if (!info)
            break;
        if (info->State != INFO_WANTED)
            continue;
        if (!Ask(info, entry, Cursor)) {
            BackgroundDone = 1;
            return;
        }
        ++asked;
    }
    if (!entry)
        BackgroundDone = 1;
}

static void RedrawEntryRow(LONG trackId, LONG row) {
    LONG top = ListView_GetTopIndex(Ui.List);
    if (row < top || row > top + ListView_GetCountPerPage(Ui.List))
        return;
    const TRACKENTRY *entry = EntryAt(row);
    if (entry && entry->TrackId == trackId)
        ListView_RedrawItems(Ui.List, row, row);
    else
        InvalidateRect(Ui.List, NULL, FALSE); // the list moved: its place is not known
}

void OnTrackInfoRead(TRACK_INFO_RESULT *result) {
    TRACK_INFO *info = Table ? Find(Table, Capacity, result->TrackId) : NULL;
    if (info && info->State == INFO_ASKED) {
        if (result->Opened) {
            info->State = INFO_KNOWN;
            info->LengthMs = result->LengthMs;
            info->Title = result->Title;
            info->Artist = result->Artist;
            result->Title = result->Artist = NULL;
        } else {
            info->State = INFO_UNREADABLE;
            info->Round = Round;
        }
        RedrawEntryRow(result->TrackId, result->Row);
    }
    FreeTrackInfoResult(result);
    FeedBackground();
}

void RetryUnreadableTracks() {
    ++Round;
}

void ReadTrackInfoInBackground(int on) {
    Background = on;
    FeedBackground();
}

void RestartBackgroundReading() {
    Cursor = 0;
    BackgroundDone = 0;
    FeedBackground();
}

void ForgetTrackInfo() {
    if (Table) {
        FreeTexts(Table, Capacity);
        HeapRelease(Table);
    }
    Table = NULL;
    Capacity = Used = 0;
    Background = BackgroundDone = 0;
    Cursor = 0;
}
