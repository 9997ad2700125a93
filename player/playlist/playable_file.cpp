#include "player/playlist/playlist.h"

#include "formats/file_formats.h"
#include "player/core/paths.h"

// A path longer than the buffer is tested by its cut copy.
static const FileFormat *FormatOf(const WCHAR *path) {
    WCHAR extension[MAX_PATH];
    lstrcpynW(extension, path, MAX_PATH);
    GetFileExtension(extension);
    return FindFileFormat(extension);
}

int IsBuiltInType(const WCHAR *path) {
    const FileFormat *format = FormatOf(path);
    return format && format->Side == MEDIA_ENGINE;
}

const WCHAR *PlayableExtension(int index) {
    const FileFormat *format = FileFormatAt(index);
    return format ? format->Extension : NULL;
}

int IsPlayableFile(const WCHAR *path) {
    if (!path)
        return 0;
    // A path that does not fit the buffer would be tested by a cut copy whose
    // extension may not be its own: refuse it instead.
    if (lstrlenW(path) >= MAX_PATH)
        return 0;
    // Only whether it opens: the probe must not stand in the way of a
    // program that writes or moves the file at the same moment.
    HANDLE file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(file);
    return FormatOf(path) != NULL;
}
