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

// How many lines of the playlist file, each decoded in the file's own
// encoding (comments and empty lines aside), neither the player's list nor
// the user's removals account for: a line that cannot be decoded, holds a
// zero, is too long for a path or names a missing file counts; -1 when it
// cannot be told. A missing playlist file drops nothing.
LONG CountDroppedEntries(const WCHAR *playlist);

#endif
