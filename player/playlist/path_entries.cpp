#include "player/playlist/path_entries.h"

#include <shlwapi.h>

#include "tonquil_heap.h"
#include "player/core/paths.h"
#include "player/playlist/playlist.h"
#include "tonquil_playlist_file.h"

int BeginAppending(APPENDING *appending) {
    appending->Last = Playlist;
    appending->Room = OPENED_ENTRIES_LIMIT;
    while (appending->Last && appending->Last->Next)
        appending->Last = appending->Last->Next;
    return appending->Last != NULL;
}

LONG AppendFileEntry(APPENDING *appending, const WCHAR *path) {
    if (appending->Room <= 0)
        return 0;
    // A cue sheet brings its tracks, each counted against the room.
    TRACKENTRY *before = appending->Last;
    TRACKENTRY *entry = LinkPathEntries(appending->Last, path);
    if (!entry)
        return 0;
    LONG added = 0;
    for (TRACKENTRY *node = before->Next; node && node != entry->Next; node = node->Next)
        ++added;
    appending->Last = entry;
    appending->Room -= added;
    return added;
}

// A line of a playlist that names no drive or share is taken against the
// playlist's own folder, not against any current folder.
static LONG AppendPlaylistLine(APPENDING *appending, const WCHAR *folder, const WCHAR *line) {
    if (!line[0])
        return 0;
    WCHAR joined[MAX_PATH];
    if (PathIsRelativeW(line)) {
        if (lstrlenW(folder) + lstrlenW(line) >= MAX_PATH)
            return 0;
        lstrcpyW(joined, folder);
        lstrcatW(joined, line);
        line = joined;
    }
    WCHAR full[MAX_PATH];
    DWORD length = GetFullPathNameW(line, MAX_PATH, full, NULL);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    return AppendFileEntry(appending, full);
}

static LONG AppendPlaylistEntries(APPENDING *appending, const WCHAR *path, int utf8) {
    WCHAR folder[MAX_PATH];
    if (lstrlenW(path) >= MAX_PATH)
        return 0;
    lstrcpyW(folder, path);
    CutAfterLastBackslash(folder);
    WCHAR *text = utf8 ? ReadUtf8PlaylistText(path) : ReadPlaylistText(path);
    if (!text)
        return 0;
    LONG added = 0;
    WCHAR *cursor = text;
    for (WCHAR *line = TakePlaylistLine(&cursor); line && appending->Room > 0;
         line = TakePlaylistLine(&cursor))
        added += AppendPlaylistLine(appending, folder, line);
    HeapRelease(text);
    return added;
}

// Extensions are matched without regard to case here: Explorer hands over
// names as the disk holds them.
static int HasExtension(const WCHAR *path, const WCHAR *extension) {
    const WCHAR *dot = PathFindExtensionW(path);
    return lstrcmpiW(dot, extension) == 0;
}

LONG AppendPathEntries(APPENDING *appending, const WCHAR *fullPath) {
    if (!fullPath || appending->Room <= 0 || IsDeviceName(fullPath))
        return 0;
    DWORD attributes = GetFileAttributesW(fullPath);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return AppendFolderEntries(appending, fullPath);
    if (HasExtension(fullPath, L".m3u"))
        return AppendPlaylistEntries(appending, fullPath, 0);
    if (HasExtension(fullPath, L".m3u8"))
        return AppendPlaylistEntries(appending, fullPath, 1);
    return AppendFileEntry(appending, fullPath);
}
