// How a playlist entry names one track of a cue sheet: the sheet's path, a
// '|' and the track's number, as in "D:\Music\album.cue|7". Windows forbids
// '|' in file names, so such a text never names a real file. The same form
// names a track of an image's embedded sheet: "D:\Music\album.flac|7".
#ifndef TONQUIL_CUE_CUE_REFERENCE_H
#define TONQUIL_CUE_CUE_REFERENCE_H

#include <windows.h>

#define CUE_REFERENCE_MARK L'|'

// Writes the reference into out (MAX_PATH characters); 0 when it does not fit.
int MakeCueReference(const WCHAR *path, int number, WCHAR *out);
// 1 for a reference, with its path (MAX_PATH characters) and track number
// 1 to 99; 0 for any other text.
int SplitCueReference(const WCHAR *text, WCHAR *path, int *number);
// 1 when the path ends in ".cue", in any case.
int IsCueSheetPath(const WCHAR *path);

#endif
