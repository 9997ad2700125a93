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

// The one way a path becomes entries; the playlist file's lines,
// CM_INSERTTRACK and the window's add (through CM_INSERTTRACK) all come here,
// and so may any later source of paths. Links after node, in order:
//   - a cue sheet (".cue"): one entry per playable track, in the sheet's
//     order, each a cue reference ("D:\Music\album.cue|7", see
//     cue/cue_reference.h);
//   - a cue reference: itself, when the sheet names that track and its file
//     is there (a saved list names the tracks so);
//   - any other path: itself, when IsPlayableFile takes it.
// Gives the last entry linked, or NULL when the path gives none (or the
// heap is exhausted before the first).
TRACKENTRY *LinkPathEntries(TRACKENTRY *node, const WCHAR *path);

// What the track list, the tip and the file-name balloon call an entry: a
// cue track's title ("Track NN" where the sheet names none), else the file's
// name. Written into name, of size characters (at least 16).
void GetEntryName(const WCHAR *path, WCHAR *name, int size);

int IsPlayableFile(const WCHAR *path);
// The playable extensions one by one ('.' included) from index 0; NULL past
// the last.
const WCHAR *PlayableExtension(int index);
// 1 when the path's extension is one the audio library decodes without
// plug-ins.
int IsBuiltInType(const WCHAR *path);

void LoadPlaylistFile(const WCHAR *path);
void EnsurePlaylistLoaded();

#endif
