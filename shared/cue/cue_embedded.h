// Cue sheets that album images carry inside themselves: a CUESHEET Vorbis
// comment in FLAC, a "Cuesheet" item of the APEv2 tag that Monkey's Audio,
// WavPack, TTA and TAK files end with. Taggers write the sheet's text there,
// in UTF-8; its tracks play from the image itself.
#ifndef TONQUIL_CUE_CUE_EMBEDDED_H
#define TONQUIL_CUE_CUE_EMBEDDED_H

#include "cue/cue_sheet.h"

// 1 when the path names a kind of image that may embed a sheet, by its
// extension; the file is not opened.
int MayEmbedCueSheet(const WCHAR *path);

// Reads the sheet embedded in the image at path, reading only the blocks
// and tag that may hold it. Returns its playable tracks, all in the image's
// one file; 0 when there is none, when it names more than one FILE, or when
// the file is damaged (sheet then holds nothing of use).
int ReadEmbeddedCueSheet(const WCHAR *path, CUESHEET *sheet);
// The same from the image's file, open for reading at its start, of size
// bytes (0 when the caller has not asked: a FLAC file is then read without
// asking, which a playlist of many files saves). path tells its kind.
int ReadEmbeddedCueSheetFrom(HANDLE file, const WCHAR *path, ULONGLONG size, CUESHEET *sheet);

#endif
