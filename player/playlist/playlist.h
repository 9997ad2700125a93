// The Playlist: a doubly linked list of TRACKENTRY behind a sentinel head.
#ifndef TONQUIL_PLAYER_PLAYLIST_PLAYLIST_H
#define TONQUIL_PLAYER_PLAYLIST_PLAYLIST_H

#include <windows.h>
#include "tonquil_extension.h"

extern TRACKENTRY *Playlist; // the sentinel head; NULL before the window exists
extern LONG TrackCounter;    // the last TrackId given out
extern int PlaylistLoaded;   // set by the first EnsurePlaylistLoaded

// Creates the sentinel unless it exists. Returns 1, or 0 when out of memory.
int CreatePlaylistHead();
// Clears the list and frees the sentinel.
void FreePlaylistHead();

LONG CountTracks();
TRACKENTRY *GetTrack(LONG index);
int InsertTrack(LONG index, const WCHAR *path);
int RemoveTrack(LONG index);
int SetTrackNo(LONG index);
void ClearPlaylist();
// The index of the first entry with this TrackId, or -1.
LONG FindTrackIndex(LONG trackId);

// Links a new entry for path after node, without the playable-file test.
// Gives the entry, or NULL when the heap is exhausted.
TRACKENTRY *LinkNewTrack(TRACKENTRY *node, const WCHAR *path);

int IsPlayableFile(const WCHAR *path);
// The playable extensions one by one ('.' included) from index 0; NULL past
// the last.
const WCHAR *PlayableExtension(int index);
// 1 when the path's extension is one the audio library decodes without
// plug-ins (the first group of the playable extensions).
int IsBuiltInType(const WCHAR *path);

void LoadPlaylistFile(const WCHAR *path);
void EnsurePlaylistLoaded();

#endif
