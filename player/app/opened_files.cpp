#include "player/app/opened_files.h"

#include "player/app/command_paths.h"
#include "player/app/commands.h"
#include "player/app/path_record.h"
#include "tonquil_heap.h"
#include "player/core/window_contract.h"
#include "player/playlist/path_entries.h"
#include "player/playlist/playlist.h"

struct OPENED_PATH {
    WCHAR *Path;
    int Play; // came without /add
};

// The selection that is still open.
static struct {
    OPENED_PATH *Items;
    DWORD Count;
    DWORD Room;
    DWORD FirstTick;
} Selection;

static int MakeRoomForPath() {
    if (Selection.Count < Selection.Room)
        return 1;
    DWORD room = Selection.Room ? Selection.Room * 2 : 64;
    OPENED_PATH *larger = (OPENED_PATH *)HeapZeroAlloc((SIZE_T)room * sizeof(OPENED_PATH));
    if (!larger)
        return 0;
    if (Selection.Items)
        CopyMemory(larger, Selection.Items, Selection.Count * sizeof(OPENED_PATH));
    HeapRelease(Selection.Items);
    Selection.Items = larger;
    Selection.Room = room;
    return 1;
}

// The timer runs again from now, but never past the selection's longest.
static void KeepSelectionOpen(HWND window) {
    DWORD now = GetTickCount();
    if (Selection.Count == 0)
        Selection.FirstTick = now;
    DWORD open = now - Selection.FirstTick;
    DWORD wait = SELECTION_WINDOW_MS;
    if (open >= SELECTION_LONGEST_MS)
        wait = USER_TIMER_MINIMUM;
    else if (SELECTION_LONGEST_MS - open < wait)
        wait = SELECTION_LONGEST_MS - open;
    SetTimer(window, SELECTION_TIMER_ID, wait, NULL);
}

// Paths past the most one selection can add are dropped.
static void QueuePath(HWND window, const WCHAR *path, int play) {
    if (Selection.Count >= OPENED_ENTRIES_LIMIT || !MakeRoomForPath())
        return;
    WCHAR *copy = HeapCopyText(path);
    if (!copy)
        return;
    KeepSelectionOpen(window);
    Selection.Items[Selection.Count].Path = copy;
    Selection.Items[Selection.Count].Play = play;
    ++Selection.Count;
}

void QueueOwnPaths(HWND window, const COMMAND_PATHS *paths) {
    const WCHAR *path = paths->Paths;
    for (DWORD i = 0; i < paths->Count; ++i, path += lstrlenW(path) + 1)
        QueuePath(window, path, !paths->AddOnly);
}

LRESULT OnCopyData(HWND window, WPARAM wParam, LPARAM lParam) {
    const COPYDATASTRUCT *copied = (const COPYDATASTRUCT *)lParam;
    if (!copied || copied->dwData != PATH_RECORD_TAG)
        return DefWindowProcW(window, WM_COPYDATA, wParam, lParam);
    if (!CheckPathRecord(copied->lpData, copied->cbData))
        return FALSE;
    PATH_RECORD_HEADER header;
    CopyMemory(&header, copied->lpData, sizeof header);
    const WCHAR *path = FirstRecordPath(copied->lpData);
    for (DWORD i = 0; i < header.Count; ++i, path = NextRecordPath(path))
        QueuePath(window, path, !(header.Flags & PATH_RECORD_ADD_ONLY));
    return TRUE;
}

static void FreePaths(OPENED_PATH *items, DWORD count) {
    for (DWORD i = 0; i < count; ++i)
        HeapRelease(items[i].Path);
    HeapRelease(items);
}

// The index of the first entry that a path to be played added, or -1.
static LONG AppendSelection(const OPENED_PATH *items, DWORD count) {
    APPENDING appending;
    if (!BeginAppending(&appending))
        return -1;
    LONG index = CountTracks(), first = -1;
    for (DWORD i = 0; i < count; ++i) {
        LONG added = AppendPathEntries(&appending, items[i].Path);
        if (added && items[i].Play && first < 0)
            first = index;
        index += added;
    }
    return first;
}

// The selection is taken out first: what arrives while it is added (a sent
// message, during a shell call of the play) opens the next one.
LRESULT OnSelectionTimer(HWND window, WPARAM, LPARAM) {
    KillTimer(window, SELECTION_TIMER_ID);
    OPENED_PATH *items = Selection.Items;
    DWORD count = Selection.Count;
    Selection.Items = NULL;
    Selection.Count = Selection.Room = 0;
    EnsurePlaylistLoaded();
    LONG first = AppendSelection(items, count);
    FreePaths(items, count);
    if (first >= 0)
        ChooseTrack(window, first);
    return 0;
}

void DropOpenedPaths(HWND window) {
    KillTimer(window, SELECTION_TIMER_ID);
    FreePaths(Selection.Items, Selection.Count);
    Selection.Items = NULL;
    Selection.Count = Selection.Room = 0;
}
