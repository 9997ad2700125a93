// The hidden main window: its class, creation, message routing and lifecycle.
#ifndef TONQUIL_APP_MAIN_WINDOW_H
#define TONQUIL_APP_MAIN_WINDOW_H

#include <windows.h>

#define MAIN_CLASS_NAME L"Tonquil"

// Private message by which the end of a stream reaches the main window's
// thread from the audio library's own: wParam is the stream, lParam the sync.
#define WM_TRACKEND (WM_APP + 0x200)

// Set once teardown has begun; late notifications are ignored from then on.
extern int TeardownStarted;

ATOM RegisterMainClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the message loop until WM_QUIT and gives its wParam.
int RunMessageLoop();

LRESULT OnCreate(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnClose(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnDestroy(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnEndSession(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnTaskbarCreated(HWND window, WPARAM wParam, LPARAM lParam);

#endif
