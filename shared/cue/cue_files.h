// The files a cue sheet involves: the sheet itself, read from disk, and the
// audio its FILE lines name.
#ifndef TONQUIL_CUE_CUE_FILES_H
#define TONQUIL_CUE_CUE_FILES_H

#include "cue/cue_sheet.h"

// Reads and parses the sheet at path in the system's ANSI code page where it
// states no other encoding, or, for an image, the sheet it embeds
// (cue/cue_embedded.h). Returns its playable tracks; 0 when it cannot be
// read, is larger than CUE_LARGEST_SHEET_BYTES or holds none.
int ReadCueSheetFile(const WCHAR *path, CUESHEET *sheet);

// The audio file a FILE line names, into out (MAX_PATH characters): resolved
// against the sheet's folder and, when missing there, the same base name with
// any extension the player plays (rippers name a .wav that is compressed
// later). 0 when none exists, and for a name that leads back to a sheet. An
// image's embedded sheet names the image itself, whatever its FILE says.
int ResolveCueFile(const WCHAR *sheetPath, const WCHAR *name, WCHAR *out);

#endif
