// Keyboard use of the window. The player's message loop runs no dialog
// manager (no IsDialogMessage), so each control is given what a dialog
// would do for it: Tab and Shift+Tab move between controls, Alt with an
// underlined letter reaches its control, Enter presses a focused push
// button and Escape closes (hides) the window. Ctrl+Left and Ctrl+Right
// seek back and forth from any control.
#ifndef TONQUIL_EXTENSION_KEYBOARD_H
#define TONQUIL_EXTENSION_KEYBOARD_H

#include <windows.h>

void AddKeyboardHandling(HWND control);
// Alt+letter on the window itself; 1 when a control took it.
int RunMnemonic(WCHAR letter);
// A key pressed on the window or any control that means the same on all of
// them; 1 when it was one.
int RunWindowKey(UINT key);

#endif
