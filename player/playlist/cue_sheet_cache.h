// The last cue sheet the player read, kept while its file stays as it was:
// a playlist names a sheet once per track, and the track list names its
// tracks again.
#ifndef TONQUIL_PLAYER_PLAYLIST_CUE_SHEET_CACHE_H
#define TONQUIL_PLAYER_PLAYLIST_CUE_SHEET_CACHE_H

#include <windows.h>

#include "cue/cue_sheet.h"

// The sheet at path, read anew when its size or time of writing changed;
// NULL when it cannot be read or holds no playable track. Valid until the
// next call.
const CUESHEET *ReadCachedCueSheet(const WCHAR *path);
// The same for the sheet that the image at path embeds, read from its file,
// open for reading: a playlist of images opens each file once.
const CUESHEET *ReadCachedImageSheet(HANDLE image, const WCHAR *path);
// Frees the kept sheet.
void FreeCachedCueSheet();

#endif
