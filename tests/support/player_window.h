// The player's hidden main window inside a test process, so the routines run
// against a real window and its real message procedure.
#ifndef TONQUIL_TESTS_PLAYER_WINDOW_H
#define TONQUIL_TESTS_PLAYER_WINDOW_H

#include <windows.h>

// Resets the process-wide state a previous test left, creates the records and
// the main window (OnCreate runs). Gives the window, or NULL.
HWND StartPlayerWindow();
// Closes the window as the exit command does and drains the queue up to WM_QUIT.
void ClosePlayerWindow(HWND window);
// Dispatches whatever the thread's queue holds; gives how many messages ran.
int PumpMessages();

#endif
