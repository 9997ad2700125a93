// The process from start to exit code.
#ifndef TONQUIL_PLAYER_APP_STARTUP_H
#define TONQUIL_PLAYER_APP_STARTUP_H

#include <windows.h>

#define INSTANCE_MUTEX_NAME L"TONQUILMUTEX"

// Runs the player, or forwards the command line to the one that runs.
// Gives the process's exit code, always 0.
int RunPlayer(HINSTANCE instance);

#endif
