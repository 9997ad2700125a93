// Remote control: a second start forwards its option to the running player.
#ifndef TONQUIL_PLAYER_APP_COMMAND_LINE_H
#define TONQUIL_PLAYER_APP_COMMAND_LINE_H

#include <windows.h>

// Non-negative when option occurs in text, -1 when not or when either is NULL.
int FindOption(const WCHAR *text, const WCHAR *option);
// The command id for a lower-cased command line: the first option of the
// table that occurs in it, or 0.
int CommandForLine(const WCHAR *lowerLine);
// 1 when the argument is one of the options, in any case.
int IsOptionName(const WCHAR *argument);
// Sends the command of this process's command line to the running player
// (none when player is NULL).
void ForwardCommandLine(HWND player);

#endif
