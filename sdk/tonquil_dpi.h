/*
 * The DPI a window is drawn at, on every system from Windows 7 on: the calls
 * of newer systems are looked up, so that the player and its modules still
 * load where the system lacks them.
 */
#ifndef TONQUIL_DPI_H
#define TONQUIL_DPI_H

#include <windows.h>

/* The plain DPI that lengths are given at. */
#define TQ_PLAIN_DPI 96

/* A function of one of the system's own DLLs, or NULL where the system lacks it. */
FARPROC SystemFunction(const WCHAR *module, const char *name);
/* The DPI of the screen as a whole. */
UINT SystemDpi(void);
/* The DPI of the monitor the window is on (the system's where the system
 * cannot tell per window). */
UINT WindowDpi(HWND window);

#endif
