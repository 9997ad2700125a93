#include "player/tray/tray_icon.h"

#include "tonquil_dpi.h"

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

typedef int(WINAPI *GETSYSTEMMETRICSFORDPI)(int, UINT);
typedef HRESULT(WINAPI *LOADICONMETRIC)(HINSTANCE, PCWSTR, int, HICON *);
#define SMALL_ICON_METRIC 0 // LIM_SMALL
#define PLAIN_SMALL_ICON 16

TRAYDPIPROC TrayDpiCall = WindowDpi;

// Newer systems only, so looked up: per-monitor sizes from Windows 10, the
// icon at the system's small size from Vista. comctl32 is one of the
// system's own, and the manifest makes it version 6.
static GETSYSTEMMETRICSFORDPI MetricsForDpi() {
    return (GETSYSTEMMETRICSFORDPI)(void *)SystemFunction(L"user32.dll", "GetSystemMetricsForDpi");
}

static LOADICONMETRIC IconMetricLoader() {
    return (LOADICONMETRIC)(void *)SystemFunction(L"comctl32.dll", "LoadIconMetric");
}

int TrayIconSize(HWND window) {
    GETSYSTEMMETRICSFORDPI forDpi = MetricsForDpi();
    if (forDpi)
        return forDpi(SM_CXSMICON, TrayDpiCall(window));
    return IconMetricLoader() ? GetSystemMetrics(SM_CXSMICON) : PLAIN_SMALL_ICON;
}

// Where only LoadIconMetric knows the size in force, it loads the image; at
// the plain size LoadImageW loads it as it always has.
static HICON LoadIconImage(int size) {
    HINSTANCE instance = GetModuleHandleW(NULL);
    LOADICONMETRIC loadMetric = MetricsForDpi() ? NULL : IconMetricLoader();
    HICON icon = NULL;
    if (loadMetric && size != PLAIN_SMALL_ICON &&
        SUCCEEDED(loadMetric(instance, L"MAINICON", SMALL_ICON_METRIC, &icon)))
        return icon;
    return (HICON)LoadImageW(instance, L"MAINICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
}

// The image held and the size it was loaded at.
static HICON Image;
static int ImageSize;

// Loads the image again when the size in force differs from the one held.
// Gives the image it replaced, which the caller destroys once the shell has
// the new one; NULL when nothing was replaced.
static HICON RenewImage(HWND window) {
    int size = TrayIconSize(window);
    if (Image && size == ImageSize)
        return NULL;
    HICON icon = LoadIconImage(size);
    if (!icon)
        return NULL;
    HICON replaced = Image;
    Image = icon;
    ImageSize = size;
    return replaced;
}

static void DestroyReplaced(HICON replaced) {
    if (replaced)
        DestroyIcon(replaced);
}

BOOL AddTrayIcon(HWND window) {
    HICON replaced = RenewImage(window);
    NOTIFYICONDATAW data;
    PrepareData(window, NIF_MESSAGE | NIF_ICON | NIF_TIP, &data);
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = Image;
    CopyField(data.szTip, TIP_CAPACITY, L"Tonquil");
    BOOL added = NotifyIconCall(NIM_ADD, &data);
    DestroyReplaced(replaced);
    return added;
}

BOOL RefreshTrayIcon(HWND window) {
    HICON replaced = RenewImage(window);
    if (!replaced)
        return FALSE;
    NOTIFYICONDATAW data;
    PrepareData(window, NIF_ICON, &data);
    data.hIcon = Image;
    BOOL changed = NotifyIconCall(NIM_MODIFY, &data);
    DestroyReplaced(replaced);
    return changed;
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
