// The hidden main window: its class, creation, message routing and lifecycle.
#ifndef TONQUIL_PLAYER_APP_MAIN_WINDOW_H
#define TONQUIL_PLAYER_APP_MAIN_WINDOW_H

#include <windows.h>
#include "player/core/window_contract.h"

#define MAIN_CLASS_NAME L"Tonquil"

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
LRESULT OnDisplayChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
