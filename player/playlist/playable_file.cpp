#include "player/playlist/playlist.h"

#include <iterator>

#include "player/core/paths.h"

// The playable extensions in two groups: what the audio library decodes by
// itself, and what it needs plug-ins for.
static const WCHAR *const BuiltInExtensions[] = {L".mp1", L".mp2", L".mp3", L".wav", L".ogg"};
static const WCHAR *const PluginExtensions[] = {
    L".wma", L".fla", L".flac", L".ape", L".tta", L".mp4", L".m4a", L".aac", L".opus",
};

// A path longer than the buffer is tested by its cut copy.
static int HasExtensionIn(const WCHAR *path, int count, const WCHAR *const *list) {
    WCHAR extension[MAX_PATH];
    lstrcpynW(extension, path, MAX_PATH);
    GetFileExtension(extension);
    return IsStringInList(extension, count, list);
}

int IsBuiltInType(const WCHAR *path) {
    return HasExtensionIn(path, (int)std::size(BuiltInExtensions), BuiltInExtensions);
}

const WCHAR *PlayableExtension(int index) {
    int builtIn = (int)std::size(BuiltInExtensions);
    if (index < 0)
        return NULL;
    if (index < builtIn)
        return BuiltInExtensions[index];
    if (index - builtIn < (int)std::size(PluginExtensions))
        return PluginExtensions[index - builtIn];
    return NULL;
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
    return IsBuiltInType(path) ||
           HasExtensionIn(path, (int)std::size(PluginExtensions), PluginExtensions);
}
