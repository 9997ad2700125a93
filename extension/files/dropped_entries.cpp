#include "extension/files/dropped_entries.h"

#include "tonquil_heap.h"
#include "extension/common/player_link.h"
#include "cue/cue_reference.h"
#include "tonquil_playlist_file.h"

#include <stdlib.h>
#include <wchar.h>

struct TEXT_LIST {
    const WCHAR **Items;
    LONG Count;
    SIZE_T Capacity; // bytes
};

static TEXT_LIST RemovedByUser; // owns its texts

static int AddText(TEXT_LIST *list, const WCHAR *text) {
    SIZE_T needed = ((SIZE_T)list->Count + 1) * sizeof *list->Items;
    // Doubling keeps a removal of 60,000 rows from copying the list each time.
    if (needed > list->Capacity && !HeapEnsure((void **)&list->Items, &list->Capacity, needed * 2))
        return 0;
    list->Items[list->Count++] = text;
    return 1;
}

void NoteRemovedByUser(const WCHAR *path) {
    SIZE_T bytes = ((SIZE_T)lstrlenW(path) + 1) * sizeof(WCHAR);
    WCHAR *copy = (WCHAR *)HeapZeroAlloc(bytes);
    if (!copy)
        return; // the save will ask about it instead
    CopyMemory(copy, path, bytes);
    if (!AddText(&RemovedByUser, copy))
        HeapRelease(copy);
}

void ForgetRemovedByUser() {
    for (LONG i = 0; i < RemovedByUser.Count; ++i)
        HeapRelease((void *)RemovedByUser.Items[i]);
    HeapRelease(RemovedByUser.Items);
    ZeroMemory(&RemovedByUser, sizeof RemovedByUser);
}

static int CompareTexts(const void *a, const void *b) {
    return wcscmp(*(const WCHAR *const *)a, *(const WCHAR *const *)b);
}

// The lines that name entries: a line the player would take as a path, and
// a line it could not read at all. M3U directives and comments (#EXTINF...)
// name none.
static int CollectFileLines(WCHAR *text, TEXT_LIST *lines) {
    WCHAR *cursor = text;
    for (WCHAR *line = TakePlaylistLine(&cursor); line; line = TakePlaylistLine(&cursor))
        if (*line && *line != L'#' && !AddText(lines, line))
            return 0;
    return 1;
}

// A file's line that names a cue sheet became the entries of its tracks:
// each run of them keeps one such line. The copies go into sheets.
static int KeepSheetLine(const WCHAR *path, WCHAR *lastSheet, TEXT_LIST *kept, TEXT_LIST *sheets) {
    WCHAR sheet[MAX_PATH];
    int number;
    if (!SplitCueReference(path, sheet, &number) || lstrcmpW(sheet, lastSheet) == 0)
        return 1;
    lstrcpyW(lastSheet, sheet);
    SIZE_T bytes = ((SIZE_T)lstrlenW(sheet) + 1) * sizeof(WCHAR);
    WCHAR *copy = (WCHAR *)HeapZeroAlloc(bytes);
    if (!copy || !AddText(sheets, copy)) {
        HeapRelease(copy);
        return 0;
    }
    CopyMemory(copy, sheet, bytes);
    return AddText(kept, copy);
}

static int CollectKeptPaths(TEXT_LIST *kept, TEXT_LIST *sheets) {
    const TRACKENTRY *entry = (const TRACKENTRY *)SendToPlayer(CM_GETTRACKENTRY, 0, 0);
    WCHAR lastSheet[MAX_PATH] = L"";
    for (; entry; entry = entry->Next)
        if (entry->Path &&
            (!AddText(kept, entry->Path) || !KeepSheetLine(entry->Path, lastSheet, kept, sheets)))
            return 0;
    for (LONG i = 0; i < RemovedByUser.Count; ++i)
        if (!AddText(kept, RemovedByUser.Items[i]))
            return 0;
    return 1;
}

// The lines not matched one for one by a kept path: both sorted, walked
// side by side, so a path twice in the file needs two entries.
static LONG CountUnmatched(TEXT_LIST *lines, TEXT_LIST *kept) {
    // A list with nothing in it has no array at all, which qsort must not get.
    if (lines->Count)
        qsort(lines->Items, (size_t)lines->Count, sizeof *lines->Items, CompareTexts);
    if (kept->Count)
        qsort(kept->Items, (size_t)kept->Count, sizeof *kept->Items, CompareTexts);
    LONG unmatched = 0, k = 0;
    for (LONG i = 0; i < lines->Count; ++i) {
        while (k < kept->Count && wcscmp(kept->Items[k], lines->Items[i]) < 0)
            ++k;
        if (k < kept->Count && wcscmp(kept->Items[k], lines->Items[i]) == 0)
            ++k;
        else
            ++unmatched;
    }
    return unmatched;
}

LONG CountDroppedEntries(const WCHAR *playlist) {
    if (GetFileAttributesW(playlist) == INVALID_FILE_ATTRIBUTES)
        return 0;
    WCHAR *text = ReadPlaylistTextMarked(playlist);
    if (!text)
        return -1;
    TEXT_LIST lines = {}, kept = {}, sheets = {};
    LONG dropped = -1;
    if (CollectFileLines(text, &lines) && CollectKeptPaths(&kept, &sheets))
        dropped = CountUnmatched(&lines, &kept);
    for (LONG i = 0; i < sheets.Count; ++i)
        HeapRelease((void *)sheets.Items[i]);
    HeapRelease(sheets.Items);
    HeapRelease(lines.Items);
    HeapRelease(kept.Items);
    HeapRelease(text);
    return dropped;
}
