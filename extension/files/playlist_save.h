// Writes the player's list back to tonquil.m3u, as the player reads it: one
// path a line, CR LF. A list whose paths all fit the ANSI code page is
// written in it, so that other programs reading the file keep working; any
// other list is written in UTF-8 after the byte-order mark. The new list
// goes to a temporary file first; only when it is complete does it replace
// the old one. tonquil.m3u.bak keeps the file as it was before this run's
// first save. A save that would drop lines still in the file asks first; a
// read-only tonquil.m3u is left alone.
#ifndef TONQUIL_EXTENSION_PLAYLIST_SAVE_H
#define TONQUIL_EXTENSION_PLAYLIST_SAVE_H

#include <windows.h>

// Every question to the user goes through this pointer; the module exports
// it by name, so that tests can answer in its place.
typedef int(WINAPI *MESSAGEBOXPROC)(HWND owner, LPCWSTR text, LPCWSTR title, UINT type);
extern "C" MESSAGEBOXPROC MessageBoxCall;

enum SAVE_OUTCOME { SAVE_DONE, SAVE_KEPT, SAVE_UNMAPPABLE, SAVE_READ_ONLY, SAVE_FAILED };

struct SAVE_RESULT {
    SAVE_OUTCOME Outcome;
    int Utf8;             // written in UTF-8 rather than the ANSI code page
    LONG Written;         // entries written (SAVE_DONE)
    LONG Dropped;         // lines of the old file the list lacks
    LONG Unmappable;      // entries no encoding holds exactly (broken UTF-16)
    LONG FirstUnmappable; // the index of the first of them
};

// SAVE_KEPT: the user chose to keep the file, and its backup, as they were.
SAVE_RESULT SavePlaylistFile();
// Saves and tells the user how it went; selects the first entry that
// stopped it.
void SavePlaylistAndReport();

#endif
