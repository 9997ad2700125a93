#include "player/playlist/playlist.h"

#include "tonquil_extension.h"

#include "tonquil_heap.h"
#include "player/core/paths.h"
#include "tonquil_playlist_file.h"

static void AppendPlayableLines(WCHAR *text) {
    TRACKENTRY *last = Playlist;
    WCHAR *cursor = text;
    for (WCHAR *line = TakePlaylistLine(&cursor); line; line = TakePlaylistLine(&cursor)) {
        TRACKENTRY *entry = LinkPathEntries(last, line);
        if (entry)
            last = entry;
    }
}

void LoadPlaylistFile(const WCHAR *path) {
    ClearPlaylist();
    if (!Playlist || !path)
        return;
    WCHAR *text = ReadPlaylistText(path);
    if (!text)
        return;
    AppendPlayableLines(text);
    HeapRelease(text);
}

void EnsurePlaylistLoaded() {
    if (PlaylistLoaded)
        return;
    PlaylistLoaded = 1;
    WCHAR path[MAX_PATH];
    LoadPlaylistFile(BuildModulePath(TQ_PLAYLIST_FILE, path) ? path : NULL);
}
