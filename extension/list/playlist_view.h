// The playlist as a virtual list view: number, title, artist, length and
// folder of every entry, read from the player when a row is drawn, with the
// current track marked. Title, artist and length come from the files in the
// background; until they are known the title is the file name. The view remembers only the shape of
// the list it was last shown with, so that a row is never acted on when the list changed behind it.
#ifndef TONQUIL_EXTENSION_PLAYLIST_VIEW_H
#define TONQUIL_EXTENSION_PLAYLIST_VIEW_H

#include <windows.h>

// Columns by their subitem numbers; the folder is shown last.
#define COLUMN_NUMBER 0
#define COLUMN_TITLE 1
#define COLUMN_FOLDER 2
#define COLUMN_ARTIST 3
#define COLUMN_LENGTH 4
#define PLAYLIST_COLUMNS 5

HWND CreatePlaylistView(HWND window);
// Column widths at 96 DPI.
void SetColumnWidths(const int *widths);
void GetColumnWidths(int *widths);
// Scales the columns from one DPI to another.
void RescaleColumns(UINT from, UINT to);

// Brings the view up to the player's list and current track; a list that
// changed loses the selection, whose indices named other entries.
void SyncPlaylistView();
// Scrolls the current track into view.
void ShowCurrentTrack();
// Selects and shows one row.
void SelectRow(LONG index);

// 1 when the list still has the shape the view shows; otherwise the view is
// brought up to date, the user told, and 0 given.
int ViewMatchesPlaylist();
// The index a drop at a point of the window goes to, or -1 to append.
LONG DropIndexAt(POINT windowPoint);

void PlayRow(LONG index);
void RemoveSelectedRows();

// The list view's notifications to the window.
LRESULT OnPlaylistNotify(NMHDR *header);

#endif
