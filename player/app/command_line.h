// Remote control: a second start forwards its option to the running player.
#ifndef TONQUIL_PLAYER_APP_COMMAND_LINE_H
#define TONQUIL_PLAYER_APP_COMMAND_LINE_H

#include <windows.h>

#include "player/app/options.h"

// Sends the command of this process's command line to the running player
// (none when player is NULL). Gives 1 when there was a command to send.
int ForwardCommandLine(HWND player);

#endif
