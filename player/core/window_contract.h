// What the folders below the main window may know of it: its private
// message, timer and icon ids, and whether teardown has begun. Includes
// nothing of the player, so that any folder may include it.
#ifndef TONQUIL_PLAYER_CORE_WINDOW_CONTRACT_H
#define TONQUIL_PLAYER_CORE_WINDOW_CONTRACT_H

#include <windows.h>

// The tray icon's callback message: wParam the icon id, lParam the mouse
// message.
#define WM_TRAYNOTIFY 0x8001
// Posted by a second start that has neither paths nor a command to hand
// over: the user is looking for the player, so a missing icon is tried now.
#define WM_TRAYRETRY 0x8002
// The end of a stream, handed from the audio library's thread to the main
// window's: wParam the stream, lParam the sync.
#define WM_TRACKEND 0x8200
// The one tray icon of the main window.
#define TRAY_ICON_ID 256
// The one-shot timer by which a single click waits for a double click.
#define CLICK_TIMER_ID 256
// The timer that closes a selection of opened files.
#define SELECTION_TIMER_ID 257
// The timer that tries the icon again while the shell refuses it.
#define TRAY_RETRY_TIMER_ID 258

// Set once teardown has begun; late notifications are ignored from then on.
extern int TeardownStarted;

#endif
