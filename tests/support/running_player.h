// The real tonquil.exe, started under Wine in a folder of its own, and the
// main window it shows to other processes.
#ifndef TONQUIL_TESTS_RUNNING_PLAYER_H
#define TONQUIL_TESTS_RUNNING_PLAYER_H

#include <windows.h>
#include <string>

struct RunningPlayer {
    HANDLE process;
    HWND window;
};

// A fresh scratch folder holding a copy of the player.
std::wstring PlayerFolder(const wchar_t *name);
// Starts folder\tonquil.exe and waits for its main window (NULL when none came).
RunningPlayer StartPlayer(const std::wstring &folder, const std::wstring &arguments = L"");
// Asks the player to close and waits for it; gives its exit code, or -1 when
// it did not end (it is then killed).
int CloseAndWait(RunningPlayer &player);
// Waits for a player that is closing by itself; gives its exit code or -1.
int WaitForExit(RunningPlayer &player);
// How many windows of the player's class exist on the desktop.
int CountPlayerWindows();

#endif
