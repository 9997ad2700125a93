#include "engine/decoding/media_decoders.h"

#include "media/media_library.h"
#include "tonquil_paths.h"

namespace {

INIT_ONCE LibraryLoaded = INIT_ONCE_STATIC_INIT;
MEDIALIBRARYOPEN LibraryOpen;

// Loaded once, by its full path beside the module that holds this code (the
// engine's DLL, or a test linking the engine), and never freed: decoders it
// opened run inside it until their streams close, and the plug-in imports it
// too. A folder without it leaves the open function NULL, so only these
// kinds fail to open.
BOOL CALLBACK LoadMediaLibrary(INIT_ONCE *, void *, void **) {
    HMODULE self = NULL;
    WCHAR path[MAX_PATH];
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           (LPCWSTR)(void *)&LoadMediaLibrary, &self) &&
        BuildPathBeside(self, MEDIA_LIBRARY_FILE, path)) {
        HMODULE library = LoadLibraryExW(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (library)
            LibraryOpen =
                (MEDIALIBRARYOPEN)(void *)GetProcAddress(library, MEDIA_LIBRARY_OPEN_EXPORT);
    }
    return TRUE;
}

} // namespace

BOOL CALLBACK OpenEngineMediaDecoder(const TQSOURCE *source, TQDECODER *decoder) {
    InitOnceExecuteOnce(&LibraryLoaded, LoadMediaLibrary, NULL, NULL);
    return LibraryOpen && LibraryOpen(source, MEDIA_ENGINE, decoder, sizeof *decoder);
}
