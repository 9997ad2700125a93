#include "player/playlist/playlist.h"

#include "cue/cue_embedded.h"
#include "cue/cue_files.h"
#include "cue/cue_input.h"
#include "cue/cue_reference.h"
#include "player/core/paths.h"
#include "player/playlist/cue_sheet_cache.h"

// A track whose file is missing now is left out, as a missing file is.
static int TrackPlayable(const WCHAR *sheetPath, const CUESHEET *sheet, const CUETRACK *track) {
    WCHAR file[MAX_PATH];
    return ResolveCueFile(sheetPath, sheet->Files[track->File], file);
}

static TRACKENTRY *LinkSheetTracks(TRACKENTRY *node, const WCHAR *sheetPath) {
    const CUESHEET *sheet = ReadCachedCueSheet(sheetPath);
    TRACKENTRY *last = NULL;
    for (int i = 0; sheet && i < sheet->TrackCount; ++i) {
        WCHAR reference[MAX_PATH];
        const CUETRACK *track = &sheet->Tracks[i];
        if (!TrackPlayable(sheetPath, sheet, track) ||
            !MakeCueReference(sheetPath, track->Number, reference))
            continue;
        TRACKENTRY *entry = LinkNewTrack(last ? last : node, reference);
        if (!entry)
            break;
        last = entry;
    }
    return last;
}

static int ReferencePlayable(const WCHAR *sheetPath, int number) {
    const CUESHEET *sheet = ReadCachedCueSheet(sheetPath);
    const CUETRACK *track = sheet ? FindCueTrack(sheet, number) : NULL;
    return track && TrackPlayable(sheetPath, sheet, track);
}

// An image that embeds a sheet is listed as its tracks. Opening it to read
// the sheet is also the test that it opens, as IsPlayableFile's.
static TRACKENTRY *LinkImageEntries(TRACKENTRY *node, const WCHAR *path) {
    HANDLE file = OpenCueInput(path);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    const CUESHEET *sheet = ReadCachedImageSheet(file, path);
    CloseHandle(file);
    return sheet ? LinkSheetTracks(node, path) : LinkNewTrack(node, path);
}

TRACKENTRY *LinkPathEntries(TRACKENTRY *node, const WCHAR *path) {
    if (!node || !path)
        return NULL;
    WCHAR sheetPath[MAX_PATH];
    int number;
    if (SplitCueReference(path, sheetPath, &number))
        return (IsCueSheetPath(sheetPath) || MayEmbedCueSheet(sheetPath)) &&
                       ReferencePlayable(sheetPath, number)
                   ? LinkNewTrack(node, path)
                   : NULL;
    if (IsCueSheetPath(path))
        return lstrlenW(path) < MAX_PATH ? LinkSheetTracks(node, path) : NULL;
    if (MayEmbedCueSheet(path) && lstrlenW(path) < MAX_PATH)
        return LinkImageEntries(node, path);
    return IsPlayableFile(path) ? LinkNewTrack(node, path) : NULL;
}

void GetEntryName(const WCHAR *path, WCHAR *name, int size) {
    WCHAR sheetPath[MAX_PATH];
    int number;
    const CUESHEET *sheet = NULL;
    const CUETRACK *track = NULL;
    if (SplitCueReference(path, sheetPath, &number) && (sheet = ReadCachedCueSheet(sheetPath)))
        track = FindCueTrack(sheet, number);
    if (track && track->Title[0])
        lstrcpynW(name, track->Title, size);
    else if (track || sheet) {
        WCHAR numbered[16];
        wsprintfW(numbered, L"Track %02d", number);
        lstrcpynW(name, numbered, size);
    } else
        lstrcpynW(name, GetBaseName(path), size);
}
