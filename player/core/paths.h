// Path routines shared by every part of the player; GetBaseName and
// BuildModulePath come from the interface's own (tonquil_paths.h).
#ifndef TONQUIL_PLAYER_CORE_PATHS_H
#define TONQUIL_PLAYER_CORE_PATHS_H

#include <windows.h>
#include "tonquil_paths.h"

// Ends the text just after its last backslash; a text without one stays whole.
void CutAfterLastBackslash(WCHAR *text);
// Replaces the text, in place, by its part from the last '.' on; no '.' leaves it whole.
void GetFileExtension(WCHAR *text);

// 1 when the path names a device rather than a file: the device namespace
// (\\.\), or a base name the system keeps for devices whatever the folder
// and extension (NUL, CON, COM1, ...).
int IsDeviceName(const WCHAR *path);

#endif
