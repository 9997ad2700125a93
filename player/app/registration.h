// /register and /unregister: Tonquil in the current user's "Open with" list
// of Explorer. These are the only places where the player touches the
// registry, and only the one key below.
#ifndef TONQUIL_PLAYER_APP_REGISTRATION_H
#define TONQUIL_PLAYER_APP_REGISTRATION_H

#include <windows.h>

#define REGISTRATION_KEY L"Software\\Classes\\Applications\\tonquil.exe"

// Writes the key under HKEY_CURRENT_USER for the executable that runs: the
// playable extensions and the playlists as SupportedTypes, the verb "open"
// and the verb "enqueue" (with /add). Gives 1 when all was written.
int RegisterWithShell();
// Removes the key and everything under it. Gives 1 when it is gone.
int UnregisterFromShell();

#endif
