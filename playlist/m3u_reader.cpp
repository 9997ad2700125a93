#include "playlist/playlist.h"

#include "app/heap.h"
#include "app/paths.h"

// Larger files are not playlists; refusing them keeps a stray multi-gigabyte
// file from exhausting the heap.
#define LARGEST_PLAYLIST_BYTES (64u * 1024u * 1024u)

// The whole file plus a terminating zero byte, or NULL.
static char *ReadWholeFile(const WCHAR *path) {
    HANDLE file =
        CreateFileW(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    DWORD size = GetFileSize(file, NULL);
    char *bytes = NULL;
    if (size != INVALID_FILE_SIZE && size <= LARGEST_PLAYLIST_BYTES)
        bytes = (char *)HeapZeroAlloc((SIZE_T)size + 1);
    DWORD total = 0;
    while (bytes && total < size) {
        DWORD got = 0;
        if (!ReadFile(file, bytes + total, size - total, &got, NULL) || got == 0)
            break;
        total += got;
    }
    CloseHandle(file);
    return bytes;
}

static WCHAR *ConvertFromAnsi(const char *bytes) {
    int length = MultiByteToWideChar(CP_ACP, 0, bytes, -1, NULL, 0);
    if (length <= 0)
        return NULL;
    WCHAR *text = (WCHAR *)HeapZeroAlloc((SIZE_T)length * sizeof(WCHAR));
    if (text && !MultiByteToWideChar(CP_ACP, 0, bytes, -1, text, length)) {
        HeapRelease(text);
        return NULL;
    }
    return text;
}

// Every line is a candidate path. A line feed ends a line, and a carriage
// return right before it is dropped; any other last character stays, so
// files with bare line feeds read as well as CR LF ones.
static void AppendPlayableLines(WCHAR *text) {
    TRACKENTRY *last = Playlist;
    WCHAR *line = text;
    for (;;) {
        WCHAR *end = line;
        while (*end && *end != L'\n')
            ++end;
        int more = *end == L'\n';
        WCHAR *cut = end;
        if (more && cut > line && cut[-1] == L'\r')
            --cut;
        *cut = 0;
        if (IsPlayableFile(line)) {
            TRACKENTRY *entry = LinkNewTrack(last, line);
            if (entry)
                last = entry;
        }
        if (!more)
            return;
        line = end + 1;
    }
}

void LoadPlaylistFile(const WCHAR *path) {
    ClearPlaylist();
    if (!Playlist || !path)
        return;
    char *bytes = ReadWholeFile(path);
    if (!bytes)
        return;
    WCHAR *text = ConvertFromAnsi(bytes);
    HeapRelease(bytes);
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
    LoadPlaylistFile(BuildModulePath(L"tonquil.m3u", path) ? path : NULL);
}
