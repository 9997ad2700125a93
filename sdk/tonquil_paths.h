/*
 * Paths beside the player, as the player and its modules name the files they
 * share (TQ_SETTINGS_FILE, TQ_PLAYLIST_FILE in tonquil_extension.h).
 */
#ifndef TONQUIL_PATHS_H
#define TONQUIL_PATHS_H

#include <windows.h>

/* The part of the path after its last backslash (a pointer into the path). */
const WCHAR *GetBaseName(const WCHAR *path);

/* Writes the executable's folder, ending in a backslash, followed by name
 * into a buffer of MAX_PATH characters. Returns 1, or 0 when the whole path
 * does not fit; the buffer then holds an empty text. */
int BuildModulePath(const WCHAR *name, WCHAR *path);
/* The same beside the module's file instead of the executable's (NULL names
 * the executable). */
int BuildPathBeside(HMODULE module, const WCHAR *name, WCHAR *path);

#endif
