// The ten options of the command line and the commands they stand for.
#ifndef TONQUIL_PLAYER_APP_OPTIONS_H
#define TONQUIL_PLAYER_APP_OPTIONS_H

#include <windows.h>

// Non-negative when option occurs in text, -1 when not or when either is NULL.
int FindOption(const WCHAR *text, const WCHAR *option);
// The command id for a lower-cased command line: the first option of the
// table that occurs in it, or 0.
int CommandForLine(const WCHAR *lowerLine);
// 1 when the argument is one of the options, in any case.
int IsOptionName(const WCHAR *argument);

#endif
