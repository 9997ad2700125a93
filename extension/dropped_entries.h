// What a save of the list would drop from tonquil.m3u without the user
// having asked for it. Entries the player could not open, or lost with a
// load that failed, are missing from its list but still in the file; rows
// the user removed in the window are meant to go.
#ifndef TONQUIL_EXTENSION_DROPPED_ENTRIES_H
#define TONQUIL_EXTENSION_DROPPED_ENTRIES_H

#include <windows.h>

// Remembers a path the user removed, until the next save or the unload.
void NoteRemovedByUser(const WCHAR *path);
void ForgetRemovedByUser();

// How many lines of the playlist file (as the player reads it: comments and
// empty lines aside) neither the player's list nor the user's removals
// account for; -1 when it cannot be told. A missing file drops nothing.
LONG CountDroppedEntries(const WCHAR *playlist);

#endif
