// How long one play takes to clear a playlist of N entries none of which
// opens. Run beside the recording bass.dll:
//   scripts/wine-run.sh --prefix build/wineprefix build/bench/playback/unplayable_bench.exe
#include <windows.h>

#include <stdio.h>

#include "player/app/main_window.h"
#include "player/core/paths.h"
#include "player/core/player_state.h"
#include "bench/bench_support.h"
#include "player/playback/audio_library.h"
#include "player/playback/playback.h"
#include "player/playlist/playlist.h"
#include "player/tray/tray_icon.h"

static BOOL WINAPI IgnoreTrayRequest(DWORD, PNOTIFYICONDATAW) {
    return TRUE;
}

int main() {
    NotifyIconCall = IgnoreTrayRequest;
    WCHAR bad[MAX_PATH];
    BuildModulePath(L"unplayable.mp3", bad);
    HANDLE file = CreateFileW(bad, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(file, "REFUSE", 6, &written, NULL);
    CloseHandle(file);

    HINSTANCE instance = GetModuleHandleW(NULL);
    if (!CreatePlayerRecords() || !RegisterMainClass(instance))
        return 1;
    HWND window = CreateMainWindow(instance);
    if (!window)
        return 1;
    PlaylistLoaded = 1;
    InitAudioLibrary(window);

    const LONG sizes[] = {1000, 5000, 20000, 60000};
    for (LONG size : sizes) {
        TRACKENTRY *last = Playlist;
        for (LONG i = 0; i < size; ++i)
            last = LinkNewTrack(last, bad);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        PlayTrack(window);
        QueryPerformanceCounter(&end);
        double seconds = Seconds(start, end);
        printf("%6ld unplayable entries: %8.2f s, %6.1f us per entry, %ld left\n", size, seconds,
               seconds * 1e6 / size, CountTracks());
    }
    DestroyWindow(window);
    DeleteFileW(bad);
    return 0;
}
