#include "tray/tray_icon.h"

#define TIP_CAPACITY 128
#define INFO_CAPACITY 256
#define INFO_TITLE_CAPACITY 64

static_assert(sizeof(NOTIFYICONDATAW) >= TRAY_DATA_SIZE, "the request fits the structure");
#ifndef _WIN64
static_assert(TRAY_DATA_SIZE == 952, "the 32-bit request is 952 bytes");
#endif

NOTIFYICONPROC NotifyIconCall = Shell_NotifyIconW;

// The tip last asked for, so it can be given again when the shell restarts.
static WCHAR CurrentTip[TIP_CAPACITY] = L"Tonquil";

static void PrepareData(HWND window, UINT flags, NOTIFYICONDATAW *data) {
    ZeroMemory(data, sizeof *data);
    data->cbSize = (DWORD)TRAY_DATA_SIZE;
    data->hWnd = window;
    data->uID = TRAY_ICON_ID;
    data->uFlags = flags;
}

// Cuts the text to the field; NULL gives an empty field.
static void CopyField(WCHAR *field, int capacity, const WCHAR *text) {
    if (text)
        lstrcpynW(field, text, capacity);
    else
        field[0] = 0;
}

static HICON TrayIconImage() {
    static HICON icon;
    if (!icon)
        icon = (HICON)LoadImageW(GetModuleHandleW(NULL), L"MAINICON", IMAGE_ICON, 16, 16,
                                 LR_DEFAULTCOLOR);
    return icon;
}

BOOL AddTrayIcon(HWND window) {
    NOTIFYICONDATAW data;
    PrepareData(window, NIF_MESSAGE | NIF_ICON | NIF_TIP, &data);
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = TrayIconImage();
    CopyField(data.szTip, TIP_CAPACITY, L"Tonquil");
    return NotifyIconCall(NIM_ADD, &data);
}

BOOL SetTrayTip(HWND window, const WCHAR *text) {
    NOTIFYICONDATAW data;
    PrepareData(window, NIF_TIP, &data);
    CopyField(data.szTip, TIP_CAPACITY, text);
    lstrcpynW(CurrentTip, data.szTip, TIP_CAPACITY);
    return NotifyIconCall(NIM_MODIFY, &data);
}

BOOL RestoreTrayTip(HWND window) {
    WCHAR tip[TIP_CAPACITY];
    lstrcpynW(tip, CurrentTip, TIP_CAPACITY);
    return SetTrayTip(window, tip);
}

int FillBalloonData(HWND window, const WCHAR *title, const WCHAR *text, DWORD majorVersion,
                    DWORD minorVersion, NOTIFYICONDATAW *data) {
    if (majorVersion == 4)
        return 0;
    PrepareData(window, NIF_INFO, data);
    CopyField(data->szInfoTitle, INFO_TITLE_CAPACITY, title);
    CopyField(data->szInfo, INFO_CAPACITY, text);
    data->uTimeout = 0;
    data->dwInfoFlags = minorVersion == 0 ? NIIF_INFO : (NIIF_INFO | NIIF_NOSOUND);
    return 1;
}

BOOL ShowTrayBalloon(HWND window, const WCHAR *title, const WCHAR *text) {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
#ifdef _MSC_VER
#pragma warning(suppress : 4996) // the version numbers themselves are what is tested
    GetVersionExW(&version);
#else
    GetVersionExW(&version);
#endif
    NOTIFYICONDATAW data;
    if (!FillBalloonData(window, title, text, version.dwMajorVersion, version.dwMinorVersion,
                         &data))
        return 0;
    return NotifyIconCall(NIM_MODIFY, &data);
}

BOOL RemoveTrayIcon(HWND window) {
    NOTIFYICONDATAW data;
    PrepareData(window, 0, &data);
    return NotifyIconCall(NIM_DELETE, &data);
}
