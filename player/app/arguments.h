// A command line split into its arguments as the system splits it for every
// program (the rules of CommandLineToArgvW), kept apart from any call of the
// system so that it can be tried on any text.
#ifndef TONQUIL_PLAYER_APP_ARGUMENTS_H
#define TONQUIL_PLAYER_APP_ARGUMENTS_H

#include <windows.h>

// Writes the arguments of line into out, one after another, each ended by a
// zero; the program's own name comes first. out must hold lstrlenW(line) + 1
// characters, which no split exceeds. Gives the number of arguments (at
// least 1: an empty line has an empty program name).
//
// The program's name ends at the next quote when it begins with one, else at
// the first space or tab; it takes no escapes. The other arguments are
// separated by spaces and tabs outside quotes; quotes group and are dropped;
// 2n backslashes before a quote give n backslashes, 2n+1 give n and a
// literal quote; a pair of quotes inside quotes gives one literal quote;
// other backslashes are kept as they are.
int SplitArguments(const WCHAR *line, WCHAR *out);
// The argument after one that SplitArguments wrote.
const WCHAR *NextArgument(const WCHAR *argument);

#endif
