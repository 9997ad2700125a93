// Path routines shared by every part of the player.
#ifndef TONQUIL_PLAYER_CORE_PATHS_H
#define TONQUIL_PLAYER_CORE_PATHS_H

#include <windows.h>

// Ends the text just after its last backslash; a text without one stays whole.
void CutAfterLastBackslash(WCHAR *text);
// Replaces the text, in place, by its part from the last '.' on; no '.' leaves it whole.
void GetFileExtension(WCHAR *text);
// The part of the path after its last backslash (a pointer into the path).
const WCHAR *GetBaseName(const WCHAR *path);

// 1 when the path names a device rather than a file: the device namespace
// (\\.\), or a base name the system keeps for devices whatever the folder
// and extension (NUL, CON, COM1, ...).
int IsDeviceName(const WCHAR *path);

// Writes ModuleDirectory (the executable's folder, ending in a backslash)
// followed by name into a buffer of MAX_PATH characters. Returns 1, or 0
// when the whole path does not fit; the buffer then holds an empty text.
int BuildModulePath(const WCHAR *name, WCHAR *path);

#endif
