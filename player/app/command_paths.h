// What a command line asks for besides the remote-control options: the
// paths to open, made full against this process's current folder, whether
// they are only to be appended (/add), and registration in the shell.
#ifndef TONQUIL_PLAYER_APP_COMMAND_PATHS_H
#define TONQUIL_PLAYER_APP_COMMAND_PATHS_H

#include <windows.h>

enum REGISTRATION_REQUEST { REGISTRATION_NONE, REGISTRATION_ADD, REGISTRATION_REMOVE };

struct COMMAND_PATHS {
    WCHAR *Paths; // Count zero-ended full paths one after another, from the heap
    DWORD Count;
    int AddOnly;
    REGISTRATION_REQUEST Registration;
};

// 1 when the argument is one of the switches (the remote-control options,
// /add, /register, /unregister), in any case; such an argument is no path.
int IsSwitch(const WCHAR *argument);
// Reads a whole command line. Arguments that are neither switches nor empty
// are paths; a path that cannot be made full is dropped, and so is any past
// the most that one record carries. Gives 0 when the heap is exhausted.
int ReadCommandPaths(const WCHAR *line, COMMAND_PATHS *paths);
void FreeCommandPaths(COMMAND_PATHS *paths);

#endif
