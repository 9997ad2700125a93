#include "extension/window/keyboard.h"

#include "extension/module_record.h"
#include "extension/playback/position_bar.h"
#include "extension/window/window_ui.h"

#include <commctrl.h>

#define KEYBOARD_SUBCLASS_ID 1

static int IsPushButton(HWND control) {
    WCHAR name[16];
    if (!GetClassNameW(control, name, 16) || lstrcmpiW(name, L"Button") != 0)
        return 0;
    LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

static int IsButton(HWND control) {
    WCHAR name[16];
    return GetClassNameW(control, name, 16) && lstrcmpiW(name, L"Button") == 0;
}

static int IsOpenDropDown(HWND control) {
    WCHAR name[16];
    return GetClassNameW(control, name, 16) && lstrcmpiW(name, L"ComboBox") == 0 &&
           SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0);
}

static void MoveFocus(HWND control, int backwards) {
    HWND next = GetNextDlgTabItem(Ui.Window, control, backwards);
    if (next)
        SetFocus(next);
}

// The letter after the single '&' of a control's text, upper-cased; 0 if none.
static WCHAR MnemonicOf(HWND control) {
    WCHAR text[256];
    GetWindowTextW(control, text, 256);
    for (WCHAR *c = text; *c; ++c) {
        if (*c != L'&')
            continue;
        if (c[1] == L'&') {
            ++c;
            continue;
        }
        return (WCHAR)(UINT_PTR)CharUpperW((LPWSTR)(UINT_PTR)c[1]);
    }
    return 0;
}

int RunMnemonic(WCHAR letter) {
    WCHAR wanted = (WCHAR)(UINT_PTR)CharUpperW((LPWSTR)(UINT_PTR)letter);
    for (HWND child = GetWindow(Ui.Window, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || !IsWindowEnabled(child) || MnemonicOf(child) != wanted)
            continue;
        if (IsButton(child)) {
            SetFocus(child);
            SendMessageW(child, BM_CLICK, 0, 0);
        } else {
            // A label: its control is the next one that takes the focus.
            MoveFocus(child, 0);
        }
        return 1;
    }
    return 0;
}

int RunWindowKey(UINT key) {
    if ((key != VK_LEFT && key != VK_RIGHT) || GetKeyState(VK_CONTROL) >= 0)
        return 0;
    SeekBy(key == VK_LEFT ? -SEEK_STEP_MS : SEEK_STEP_MS);
    return 1;
}

static LRESULT HandleKey(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (RunWindowKey((UINT)wParam))
            return 0;
        if (wParam == VK_TAB) {
            MoveFocus(control, GetKeyState(VK_SHIFT) < 0);
            return 0;
        }
        if (wParam == VK_ESCAPE && !IsOpenDropDown(control)) {
            PostMessageW(Ui.Window, WM_CLOSE, 0, 0);
            return 0;
        }
        if (wParam == VK_RETURN && IsPushButton(control)) {
            SendMessageW(control, BM_CLICK, 0, 0);
            return 0;
        }
        break;
    case WM_CHAR:
        // Handled at the key-down; the character would only beep.
        if (wParam == L'\t' || wParam == 0x1B || (wParam == L'\r' && IsPushButton(control)))
            return 0;
        break;
    case WM_SYSCHAR:
        if (RunMnemonic((WCHAR)wParam))
            return 0;
        break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

static LRESULT CALLBACK KeyboardProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(control, KeyboardProc, KEYBOARD_SUBCLASS_ID);
    EnterModuleCode();
    LRESULT result = HandleKey(control, message, wParam, lParam);
    LeaveModuleCode();
    return result;
}

void AddKeyboardHandling(HWND control) {
    SetWindowSubclass(control, KeyboardProc, KEYBOARD_SUBCLASS_ID, 0);
}
