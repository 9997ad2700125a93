// Files inserted into the player's list from the window. TrackNo stays on
// the entry it named, which the player itself leaves at its old index when
// entries before it come.
#ifndef TONQUIL_EXTENSION_PLAYLIST_EDIT_H
#define TONQUIL_EXTENSION_PLAYLIST_EDIT_H

#include <windows.h>

#include "extension/common/texts.h"

struct INSERT_BATCH {
    LONG Position; // where the next path goes; -1 appends
    LONG First;    // where the first one went
    LONG CountBefore;
    LONG Added;
    LONG Refused;
    int FirstRefusedIsFolder;
    WCHAR FirstRefused[NAME_SIZE];
};

// position -1 appends; a position past the end appends as well.
void BeginInsert(INSERT_BATCH *batch, LONG position);
// Folders are refused: only files the player accepts go in.
void InsertPath(INSERT_BATCH *batch, const WCHAR *path);
// Moves TrackNo, brings the view up to date and reports in the status bar.
void FinishInsert(INSERT_BATCH *batch);

#endif
