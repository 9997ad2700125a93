// Writes the player's list back to tonquil.m3u, as the player reads it: one
// path a line in the ANSI code page, CR LF. The new list goes to a
// temporary file first; only when it is complete does it replace the old
// one, whose previous content is kept as tonquil.m3u.bak. A path the code
// page cannot hold is never written mangled: then nothing is written.
#ifndef TONQUIL_EXTENSION_PLAYLIST_SAVE_H
#define TONQUIL_EXTENSION_PLAYLIST_SAVE_H

#include <windows.h>

enum SAVE_OUTCOME { SAVE_DONE, SAVE_UNMAPPABLE, SAVE_FAILED };

struct SAVE_RESULT {
    SAVE_OUTCOME Outcome;
    LONG Written;         // entries written (SAVE_DONE)
    LONG Unmappable;      // entries the code page cannot hold
    LONG FirstUnmappable; // the index of the first of them
};

SAVE_RESULT SavePlaylistFile();
// Saves and tells the user how it went; selects the first entry that
// stopped it.
void SavePlaylistAndReport();

#endif
