#include "tonquil_dpi.h"

typedef UINT(WINAPI *GETDPIFORWINDOW)(HWND);

FARPROC SystemFunction(const WCHAR *module, const char *name) {
    HMODULE library = GetModuleHandleW(module);
    if (!library)
        library = LoadLibraryW(module);
    return library ? GetProcAddress(library, name) : NULL;
}

UINT SystemDpi(void) {
    HDC screen = GetDC(NULL);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(NULL, screen);
    return dpi > 0 ? (UINT)dpi : TQ_PLAIN_DPI;
}

UINT WindowDpi(HWND window) {
    GETDPIFORWINDOW forWindow =
        (GETDPIFORWINDOW)(void *)SystemFunction(L"user32.dll", "GetDpiForWindow");
    UINT dpi = forWindow ? forWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}
