// A second start finds the running player, waiting a while for one that is
// still starting, and hands it the paths of its command line.
#ifndef TONQUIL_PLAYER_APP_PATH_HANDOVER_H
#define TONQUIL_PLAYER_APP_PATH_HANDOVER_H

#include <windows.h>

#include "player/app/command_paths.h"

// Set by the first instance once its window takes messages; a second start
// waits for it at most STARTING_PLAYER_WAIT_MS.
#define PLAYER_STARTED_EVENT L"TONQUILSTARTED"
#define STARTING_PLAYER_WAIT_MS 5000

// The first instance's signal that its window is there; the handle stays
// open for the life of the process.
void SignalPlayerStarted();
// The running player's main window, or NULL when none came in time.
HWND FindRunningPlayer();
// Sends the paths as one record; nothing when there are none.
void HandOverPaths(HWND player, const COMMAND_PATHS *paths);
// For a second start with neither paths nor a command: the player tries its
// icon at once if the shell has refused it so far. Posted, as the answer
// does not matter.
void AskForTrayIcon(HWND player);

#endif
