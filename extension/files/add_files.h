// Files coming into the playlist from outside: dropped on the window or
// chosen in the open dialog. Each goes to the player with CM_INSERTTRACK,
// which decides what it accepts; a dropped folder is refused, not opened.
#ifndef TONQUIL_EXTENSION_ADD_FILES_H
#define TONQUIL_EXTENSION_ADD_FILES_H

#include <windows.h>
#include <shellapi.h>

// Takes the files of a drop and releases the drop.
void AddDroppedFiles(HDROP drop);
void AddFilesFromDialog();

#endif
