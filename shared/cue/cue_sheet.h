// Cue sheets read from their bytes: the text decoded as rippers write it and
// the tracks' bounds, names and ReplayGain lines. No file is opened here, so
// the player, the engine, the window module and a fuzz harness all use the
// same reading.
#ifndef TONQUIL_CUE_CUE_SHEET_H
#define TONQUIL_CUE_CUE_SHEET_H

#include <windows.h>

// A sheet is a few kilobytes; anything larger than this is no sheet.
#define CUE_LARGEST_SHEET_BYTES (1u << 20)
// TRACK numbers run from 1 to 99, as on a CD.
#define CUE_MAX_TRACKS 99
#define CUE_MAX_FILES 99
#define CUE_TEXT_SIZE 256
#define CUE_GAIN_TEXT_SIZE 32
// CD frames (1/75 s) of the longest offset taken: 9999 minutes.
#define CUE_FRAMES_PER_SECOND 75
#define CUE_LARGEST_OFFSET (9999u * 60u * CUE_FRAMES_PER_SECOND + 59u * 75u + 74u)
// The End of the last track of its file.
#define CUE_TO_FILE_END 0xFFFFFFFFu

struct CUETRACK {
    int Number;                 // as the sheet numbers it
    int File;                   // index into CUESHEET::Files
    DWORD Start;                // INDEX 01, in CD frames from the file's start
    DWORD End;                  // the next track's INDEX 01 in the same file, or CUE_TO_FILE_END
    WCHAR Title[CUE_TEXT_SIZE]; // empty when the sheet names none
    WCHAR Performer[CUE_TEXT_SIZE]; // the track's, else the sheet's, else empty
    // REM REPLAYGAIN_TRACK_GAIN and _PEAK as written, empty when absent.
    char Gain[CUE_GAIN_TEXT_SIZE];
    char Peak[CUE_GAIN_TEXT_SIZE];
};

struct CUESHEET {
    WCHAR Title[CUE_TEXT_SIZE];
    WCHAR Performer[CUE_TEXT_SIZE];
    char AlbumGain[CUE_GAIN_TEXT_SIZE];
    char AlbumPeak[CUE_GAIN_TEXT_SIZE];
    int FileCount;
    WCHAR Files[CUE_MAX_FILES][MAX_PATH]; // as the FILE lines name them
    // Only tracks that can play: each with an INDEX 01 after the one before
    // it in the same file. In the sheet's order.
    int TrackCount;
    CUETRACK Tracks[CUE_MAX_TRACKS];
};

// The sheet's text in UTF-16 from the heap (free with HeapFree on
// GetProcessHeap()), or NULL when it has no valid encoding or holds a zero.
// A byte-order mark decides (UTF-8, UTF-16 LE or BE); without one, valid
// UTF-8 is UTF-8 and anything else is read in codePage (CP_ACP for the
// system's ANSI code page).
WCHAR *DecodeCueText(const BYTE *bytes, DWORD size, UINT codePage);

// Fills sheet (a record the caller allocates: it is large) from the text.
// Lines end with CR LF or LF; keywords are taken in any case; values quoted
// or not; unknown and malformed lines are passed over. Returns the number
// of playable tracks.
int ParseCueText(const WCHAR *text, CUESHEET *sheet);

// DecodeCueText, then ParseCueText; 0 for a sheet over the size limit or
// without a valid encoding.
int ParseCueSheet(const BYTE *bytes, DWORD size, UINT codePage, CUESHEET *sheet);

// The track numbered number, or NULL.
const CUETRACK *FindCueTrack(const CUESHEET *sheet, int number);

#endif
