#include "player/playlist/cue_sheet_cache.h"

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

const CUESHEET *ReadCachedCueSheet(const WCHAR *path) {
    WIN32_FILE_ATTRIBUTE_DATA stamp;
    if (!path || lstrlenW(path) >= MAX_PATH ||
        !GetFileAttributesExW(path, GetFileExInfoStandard, &stamp) ||
        (stamp.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return NULL;
    if (Sheet && lstrcmpiW(path, SheetPath) == 0 && SameStamp(&stamp, &SheetStamp))
        return SheetTracks ? Sheet : NULL;
    if (!Sheet)
        Sheet = (CUESHEET *)HeapZeroAlloc(sizeof(CUESHEET));
    if (!Sheet)
        return NULL;
    SheetTracks = ReadCueSheetFile(path, Sheet);
    lstrcpyW(SheetPath, path);
    SheetStamp = stamp;
    return SheetTracks ? Sheet : NULL;
}

void FreeCachedCueSheet() {
    HeapRelease(Sheet);
    Sheet = NULL;
    SheetPath[0] = 0;
}
