#include "player/tray/tray_clicks.h"

#include "player/core/player_state.h"
#include "player/tray/tray_icon.h"

int DoubleClickSeen;

struct BUTTON_BINDING {
    LONG *SingleClick;
    LONG *DoubleClick;
};

// The bindings of the button whose button-up or double-click notification
// this is; both NULL for every other notification.
static BUTTON_BINDING BindingFor(LPARAM notification) {
    BUTTON_BINDING binding = {NULL, NULL};
    switch ((UINT)notification) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        binding.SingleClick = &TrayConfig->LBtnClk;
        binding.DoubleClick = &TrayConfig->LBtnDblClk;
        break;
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        binding.SingleClick = &TrayConfig->RBtnClk;
        binding.DoubleClick = &TrayConfig->RBtnDblClk;
        break;
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        binding.SingleClick = &TrayConfig->MBtnClk;
        binding.DoubleClick = &TrayConfig->MBtnDblClk;
        break;
    }
    return binding;
}

static int IsButtonUp(LPARAM notification) {
    return notification == WM_LBUTTONUP || notification == WM_RBUTTONUP ||
           notification == WM_MBUTTONUP;
}

static void SendBoundCommand(HWND window, LONG command) {
    SendMessageW(window, WM_COMMAND, (WPARAM)(DWORD)command, 0);
}

static void OnButtonUp(HWND window, LPARAM notification, BUTTON_BINDING binding) {
    KillTimer(window, CLICK_TIMER_ID);
    TrayConfig->LastButtonUp = (LONG)notification;
    if (DoubleClickSeen) {
        DoubleClickSeen = 0; // the button-up that ends a double click
        return;
    }
    if (*binding.DoubleClick)
        SetTimer(window, CLICK_TIMER_ID, (UINT)TrayConfig->Elapse, NULL);
    else
        SendBoundCommand(window, *binding.SingleClick);
}

static void OnDoubleClick(HWND window, BUTTON_BINDING binding) {
    DoubleClickSeen = 1;
    KillTimer(window, CLICK_TIMER_ID);
    SendBoundCommand(window, *binding.DoubleClick);
}

LRESULT OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam) {
    BUTTON_BINDING binding = BindingFor(lParam);
    if (wParam == TRAY_ICON_ID && binding.SingleClick) {
        if (IsButtonUp(lParam))
            OnButtonUp(window, lParam, binding);
        else
            OnDoubleClick(window, binding);
    }
    return DefWindowProcW(window, WM_TRAYNOTIFY, wParam, lParam);
}

LRESULT OnClickTimer(HWND window, WPARAM timerId, LPARAM lParam) {
    KillTimer(window, timerId);
    // Only a button-up names the click that waited.
    if (timerId == CLICK_TIMER_ID && IsButtonUp(TrayConfig->LastButtonUp))
        SendBoundCommand(window, *BindingFor(TrayConfig->LastButtonUp).SingleClick);
    return DefWindowProcW(window, WM_TIMER, timerId, lParam);
}
