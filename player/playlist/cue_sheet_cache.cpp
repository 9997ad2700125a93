#include "player/playlist/cue_sheet_cache.h"

#include "cue/cue_embedded.h"
#include "cue/cue_files.h"
#include "tonquil_heap.h"

static CUESHEET *Sheet;
static WCHAR SheetPath[MAX_PATH];
static WIN32_FILE_ATTRIBUTE_DATA SheetStamp;
static int SheetTracks;

static int SameStamp(const WIN32_FILE_ATTRIBUTE_DATA *a, const WIN32_FILE_ATTRIBUTE_DATA *b) {
    return a->nFileSizeLow == b->nFileSizeLow && a->nFileSizeHigh == b->nFileSizeHigh &&
           CompareFileTime(&a->ftLastWriteTime, &b->ftLastWriteTime) == 0;
}

static int KeptFor(const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *stamp) {
    return Sheet && SheetPath[0] && lstrcmpiW(path, SheetPath) == 0 &&
           SameStamp(stamp, &SheetStamp);
}

static int KeepSheet(const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *stamp, int tracks) {
    lstrcpyW(SheetPath, path);
    SheetStamp = *stamp;
    SheetTracks = tracks;
    return tracks;
}

static int SheetRecord() {
    if (!Sheet)
        Sheet = (CUESHEET *)HeapZeroAlloc(sizeof(CUESHEET));
    return Sheet != NULL;
}

const CUESHEET *ReadCachedCueSheet(const WCHAR *path) {
    WIN32_FILE_ATTRIBUTE_DATA stamp;
    if (!path || lstrlenW(path) >= MAX_PATH ||
        !GetFileAttributesExW(path, GetFileExInfoStandard, &stamp) ||
        (stamp.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return NULL;
    if (KeptFor(path, &stamp))
        return SheetTracks ? Sheet : NULL;
    if (!SheetRecord())
        return NULL;
    return KeepSheet(path, &stamp, ReadCueSheetFile(path, Sheet)) ? Sheet : NULL;
}

static int StampOf(HANDLE file, WIN32_FILE_ATTRIBUTE_DATA *stamp) {
    LARGE_INTEGER size;
    ZeroMemory(stamp, sizeof *stamp);
    if (!GetFileSizeEx(file, &size) || !GetFileTime(file, NULL, NULL, &stamp->ftLastWriteTime))
        return 0;
    stamp->nFileSizeHigh = (DWORD)(size.QuadPart >> 32);
    stamp->nFileSizeLow = (DWORD)size.QuadPart;
    return 1;
}

// Most images of a playlist hold no sheet: only one that does is stamped
// and kept, so the others cost one read each.
const CUESHEET *ReadCachedImageSheet(HANDLE image, const WCHAR *path) {
    WIN32_FILE_ATTRIBUTE_DATA stamp;
    if (lstrlenW(path) >= MAX_PATH || !SheetRecord())
        return NULL;
    if (SheetPath[0] && lstrcmpiW(path, SheetPath) == 0 && StampOf(image, &stamp) &&
        KeptFor(path, &stamp))
        return SheetTracks ? Sheet : NULL;
    SheetPath[0] = 0;
    int tracks = ReadEmbeddedCueSheetFrom(image, path, 0, Sheet);
    return tracks && StampOf(image, &stamp) && KeepSheet(path, &stamp, tracks) ? Sheet : NULL;
}

void FreeCachedCueSheet() {
    HeapRelease(Sheet);
    Sheet = NULL;
    SheetPath[0] = 0;
}
