#include "extension/list/row_removal.h"

#include "extension/files/dropped_entries.h"
#include "extension/common/player_link.h"

// Read before the run goes: its entries are freed with it.
static void NoteRunRemovedByUser(const ROW_RUN *run) {
    const TRACKENTRY *entry = EntryAt(run->Start);
    for (LONG i = 0; entry && i < run->Length; ++i, entry = entry->Next)
        if (entry->Path)
            NoteRemovedByUser(entry->Path);
}

LONG RemoveRuns(const ROW_RUN *runs, int count) {
    LONG current = (LONG)SendToPlayer(CM_GETTRACKNO, 0, 0);
    LONG removed = 0, removedBefore = 0;
    for (int run = count - 1; run >= 0; --run) {
        NoteRunRemovedByUser(&runs[run]);
        for (LONG i = 0; i < runs[run].Length; ++i) {
            // The rest of the run slides into the same index.
            if (!SendToPlayer(CM_REMOVETRACK, (WPARAM)runs[run].Start, 0))
                break;
            ++removed;
            if (runs[run].Start + i < current)
                ++removedBefore;
        }
    }
    if (removedBefore)
        SendToPlayer(CM_SETTRACKNO, (WPARAM)(current - removedBefore), 0);
    return removed;
}
