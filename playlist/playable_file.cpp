#include "playlist/playlist.h"

#include "app/paths.h"

static const WCHAR *const PlayableExtensions[] = {
    L".mp1",  L".mp2", L".mp3", L".wav", L".ogg", L".wma", L".fla",
    L".flac", L".ape", L".tta", L".mp4", L".m4a", L".aac",
};

int IsPlayableFile(const WCHAR *path) {
    if (!path)
        return 0;
    // A path that does not fit the buffer would be tested by a cut copy whose
    // extension may not be its own: refuse it instead.
    if (lstrlenW(path) >= MAX_PATH)
        return 0;
    HANDLE file = CreateFileW(path, 0, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(file);
    WCHAR extension[MAX_PATH];
    lstrcpynW(extension, path, MAX_PATH);
    GetFileExtension(extension);
    return IsStringInList(extension, (int)(sizeof PlayableExtensions / sizeof *PlayableExtensions),
                          PlayableExtensions);
}
