// Loading, shuffling and looking up long playlists: the time each takes and
// the heap each entry costs. Prints figures; it never fails on them.
#include <windows.h>

#include <stdio.h>

#include "player/core/paths.h"
#include "bench/bench_support.h"
#include "player/playlist/playlist.h"
#include "player/playlist/shuffle.h"

// Distinct files, named over and over in the longer playlists.
#define TRACK_FILES 512

struct HeapTotals {
    SIZE_T busyBytes; // what the busy blocks hold
    SIZE_T overhead;  // the heap's own bytes around them
    SIZE_T committed; // committed bytes of the heap's regions
};

static HeapTotals MeasureHeap() {
    HeapTotals totals = {0, 0, 0};
    HANDLE heap = GetProcessHeap();
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = NULL;
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
            totals.busyBytes += entry.cbData;
            totals.overhead += entry.cbOverhead;
        } else if (entry.wFlags & PROCESS_HEAP_REGION) {
            totals.committed += entry.Region.dwCommittedSize;
        }
    }
    HeapUnlock(heap);
    return totals;
}

// Sheets of the cue-sheet playlist, each naming one image of its own.
#define SHEETS 1000
#define SHEET_TRACKS 12

// The kinds of line each playlist is made of: MP3 files, FLAC files (which
// the reader opens to look for an embedded sheet) and cue sheets.
enum LineKind { MP3_LINES, FLAC_LINES, SHEET_LINES };

static void TrackName(const WCHAR *folder, int number, LineKind kind, WCHAR *path) {
    const WCHAR *names[] = {L"%strack%03d.mp3", L"%strack%03d.flac", L"%ssheet%04d.cue"};
    wsprintfW(path, names[kind], folder, number);
}

static int WriteFileBytes(const WCHAR *path, const char *bytes, DWORD size) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD done = 0;
    int written = WriteFile(file, bytes, size, &done, NULL) && done == size;
    CloseHandle(file);
    return written;
}

// A sheet of SHEET_TRACKS tracks, four minutes apart, naming image NNNN.flac.
static int WriteSheet(const WCHAR *path, int number) {
    char text[4096];
    int length = wsprintfA(text, "PERFORMER \"Band\"\r\nFILE \"track%03d.flac\" WAVE\r\n",
                           number % TRACK_FILES);
    for (int track = 1; track <= SHEET_TRACKS; ++track)
        length += wsprintfA(text + length,
                            "  TRACK %02d AUDIO\r\n    TITLE \"Song %d\"\r\n"
                            "    INDEX 01 %02d:00:00\r\n",
                            track, track, (track - 1) * 4);
    return WriteFileBytes(path, text, (DWORD)length);
}

static int MakeTrackFiles(const WCHAR *folder) {
    CreateDirectoryW(folder, NULL);
    // fLaC and a last, empty STREAMINFO: the walk for a sheet ends at once.
    static const char flac[] = "fLaC\x80\0\0\0";
    for (int i = 0; i < TRACK_FILES; ++i) {
        WCHAR path[MAX_PATH];
        TrackName(folder, i, MP3_LINES, path);
        if (!WriteFileBytes(path, "", 0))
            return 0;
        TrackName(folder, i, FLAC_LINES, path);
        if (!WriteFileBytes(path, flac, sizeof flac - 1))
            return 0;
    }
    for (int i = 0; i < SHEETS; ++i) {
        WCHAR path[MAX_PATH];
        TrackName(folder, i, SHEET_LINES, path);
        if (!WriteSheet(path, i))
            return 0;
    }
    return 1;
}

// One line per entry, CR LF ended, cycling through the track files; in
// UTF-8 after the byte-order mark, or in the ANSI code page.
static int WritePlaylist(const WCHAR *folder, const WCHAR *list, LONG entries, UINT codePage,
                         LineKind kind) {
    HANDLE file = CreateFileW(list, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD done = 0;
    int written =
        codePage != CP_UTF8 || (WriteFile(file, "\xEF\xBB\xBF", 3, &done, NULL) && done == 3);
    for (LONG i = 0; i < entries && written; ++i) {
        WCHAR path[MAX_PATH];
        TrackName(folder, i % (kind == SHEET_LINES ? SHEETS : TRACK_FILES), kind, path);
        char line[MAX_PATH * 2 + 2];
        int length = WideCharToMultiByte(codePage, 0, path, -1, line, MAX_PATH * 2, NULL, NULL);
        if (length <= 0)
            return CloseHandle(file), 0;
        line[length - 1] = '\r';
        line[length] = '\n';
        written =
            WriteFile(file, line, (DWORD)length + 1, &done, NULL) && done == (DWORD)length + 1;
    }
    CloseHandle(file);
    return written;
}

static void Measure(const WCHAR *folder, const WCHAR *list, LONG entries, UINT codePage,
                    LineKind kind) {
    if (!WritePlaylist(folder, list, entries, codePage, kind)) {
        printf("%6ld entries: the playlist file could not be written\n", entries);
        return;
    }
    ClearShuffle();
    ClearPlaylist();
    HeapTotals before = MeasureHeap();
    double start = NowSeconds();
    LoadPlaylistFile(list);
    double loaded = NowSeconds();
    HeapTotals after = MeasureHeap();
    LONG count = CountTracks();

    double shuffleStart = NowSeconds();
    BuildShuffle();
    double shuffled = NowSeconds();

    double lookupStart = NowSeconds();
    TRACKENTRY *last = GetTrack(count - 1);
    double lookedUp = NowSeconds();

    SIZE_T requested = 0;
    for (TRACKENTRY *entry = Playlist->Next; entry; entry = entry->Next)
        requested +=
            HeapSize(GetProcessHeap(), 0, entry) + HeapSize(GetProcessHeap(), 0, entry->Path);
    double perEntry = count ? 1.0 / count : 0.0;
    const char *kinds[] = {"MP3 files", "FLAC files", "cue sheets"};
    printf("%6ld lines of %s, %s (%ld loaded, last TrackId %ld)\n", entries, kinds[kind],
           codePage == CP_UTF8 ? "UTF-8" : "ANSI", count, last ? last->TrackId : 0L);
    printf("    load %9.1f ms  (%.1f us per entry)\n", (loaded - start) * 1e3,
           (loaded - start) * 1e6 * perEntry);
    printf("    BuildShuffle %9.3f ms\n", (shuffled - shuffleStart) * 1e3);
    printf("    GetTrack(%ld) %9.3f ms\n", count - 1, (lookedUp - lookupStart) * 1e3);
    printf("    heap per entry: %.1f bytes asked for (entry and path), %.1f in busy blocks "
           "+ %.1f overhead, %.1f committed\n",
           requested * perEntry, (double)(after.busyBytes - before.busyBytes) * perEntry,
           (double)(after.overhead - before.overhead) * perEntry,
           (double)(after.committed - before.committed) * perEntry);
}

int main() {
    WCHAR folder[MAX_PATH];
    WCHAR list[MAX_PATH];
    if (!BuildModulePath(L"playlist_bench_files\\", folder) ||
        !BuildModulePath(L"playlist_bench_files\\bench.m3u", list) || !MakeTrackFiles(folder)) {
        printf("no folder for the track files\n");
        return 1;
    }
    if (!CreatePlaylistHead() || !CreateShuffleHeads()) {
        printf("no heap for the list heads\n");
        return 1;
    }
    WCHAR sample[MAX_PATH];
    TrackName(folder, 0, MP3_LINES, sample);
    printf("paths of %d characters, %d distinct files\n", lstrlenW(sample), TRACK_FILES);
    const LONG sizes[] = {1000, 10000, 65536};
    const UINT codePages[] = {CP_ACP, CP_UTF8};
    for (LONG entries : sizes)
        for (UINT codePage : codePages)
            Measure(folder, list, entries, codePage, MP3_LINES);
    Measure(folder, list, 10000, CP_ACP, FLAC_LINES);
    Measure(folder, list, SHEETS, CP_ACP, SHEET_LINES);
    FreeShuffleHeads();
    FreePlaylistHead();
    return 0;
}
