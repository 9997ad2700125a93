// Entries for a path opened from outside (Explorer, the command line): a
// playable file gives one, a .m3u or .m3u8 playlist its playable lines, a
// folder the playable files under it in natural name order. Anything else
// gives none. Entries go at the end of the Playlist.
#ifndef TONQUIL_PLAYER_PLAYLIST_PATH_ENTRIES_H
#define TONQUIL_PLAYER_PLAYLIST_PATH_ENTRIES_H

#include <windows.h>
#include "tonquil_extension.h"

// The most entries one selection of opened paths adds; a folder that holds
// more is cut there.
#define OPENED_ENTRIES_LIMIT 65536
// The most names looked at in one folder, and the deepest folder walked.
#define FOLDER_NAMES_LIMIT 200000
#define FOLDER_DEPTH_LIMIT 64

// Where one selection's entries go: after Last, while Room lasts.
struct APPENDING {
    TRACKENTRY *Last;
    LONG Room;
};

// Starts appending at the end of the Playlist; 0 when there is none.
int BeginAppending(APPENDING *appending);
// Appends the entries of a full path; gives how many were added.
LONG AppendPathEntries(APPENDING *appending, const WCHAR *fullPath);

// Appends one entry for a playable file; gives 1, or 0 when refused. The one
// place where an opened file becomes entries.
LONG AppendFileEntry(APPENDING *appending, const WCHAR *path);
// Appends the playable files under a folder, subfolders included. A folder
// reached twice (through a junction or link) is walked once.
LONG AppendFolderEntries(APPENDING *appending, const WCHAR *folder);

#endif
