#include "extension/common/dpi.h"

#include "extension/window/window_ui.h"

typedef UINT(WINAPI *GETDPIFORWINDOW)(HWND);

// Newer systems only: looked up so that the module still loads on older ones.
FARPROC User32Function(const char *name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? GetProcAddress(user32, name) : NULL;
}

UINT SystemDpi() {
    HDC screen = GetDC(NULL);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(NULL, screen);
    return dpi > 0 ? (UINT)dpi : 96;
}

UINT WindowDpi(HWND window) {
    GETDPIFORWINDOW getDpi = (GETDPIFORWINDOW)(void *)User32Function("GetDpiForWindow");
    UINT dpi = getDpi ? getDpi(window) : 0;
    return dpi ? dpi : SystemDpi();
}

int Scale(int length) {
    return MulDiv(length, (int)Ui.Dpi, 96);
}

int Unscale(int length) {
    return Ui.Dpi ? MulDiv(length, 96, (int)Ui.Dpi) : length;
}
