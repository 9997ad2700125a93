// Keyboard use of the window. The player's message loop runs no dialog
// manager (no IsDialogMessage), so each control is given what a dialog
// would do for it: Tab and Shift+Tab move between controls, Alt with an
// underlined letter reaches its control, Enter presses a focused push
// button and Escape closes (hides) the window.
#ifndef TONQUIL_EXTENSION_KEYBOARD_H
#define TONQUIL_EXTENSION_KEYBOARD_H

#include <windows.h>

void AddKeyboardHandling(HWND control);
// Alt+letter on the window itself; 1 when a control took it.
int RunMnemonic(WCHAR letter);

#endif
