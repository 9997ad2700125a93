#include "extension/window/main_window.h"

#include "extension/files/add_files.h"
#include "extension/window/controls.h"
#include "extension/common/dpi.h"
#include "extension/window/keyboard.h"
#include "extension/window/layout.h"
#include "extension/playback/media_keys.h"
#include "extension/module_record.h"
#include "extension/playback/playback_options.h"
#include "extension/common/player_link.h"
#include "extension/files/playlist_save.h"
#include "extension/list/playlist_view.h"
#include "extension/playback/position_bar.h"
#include "extension/window/resource.h"
#include "extension/window/status_bar.h"
#include "extension/common/texts.h"
#include "extension/list/track_info.h"
#include "extension/playback/transport.h"
#include "extension/window/window_settings.h"
#include "extension/window/window_ui.h"

#include <commctrl.h>

// The time moves four times a second; changes made by others (the tray
// menu, another sender, the player dropping a file it could not open) show
// within two ticks.
#define TICK_INTERVAL 250
#define TICKS_PER_SYNC 2
#define DEFAULT_WIDTH 880
#define DEFAULT_HEIGHT 560

WINDOW_UI Ui;

static int ShowMaximized;
static int TimerRunning;
static int Ticks;
static int MediaKeysOn;
// A window that was never made in full has nothing worth saving.
static int WindowReady;

static void SaveSettings() {
    if (!WindowReady)
        return;
    WINDOW_SETTINGS settings = {};
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(Ui.Window, &placement)) {
        settings.HasPlace = 1;
        settings.Place = placement.rcNormalPosition;
    }
    if (IsWindowVisible(Ui.Window))
        ShowMaximized = IsZoomed(Ui.Window) ||
                        (IsIconic(Ui.Window) && (placement.flags & WPF_RESTORETOMAXIMIZED));
    settings.Maximized = ShowMaximized;
    GetColumnWidths(settings.ColumnWidths);
    settings.MediaKeys = MediaKeysOn;
    WriteWindowSettings(&settings);
}

static void SyncWithPlayer() {
    SyncPlaylistView();
    SyncTransportControls();
    SyncPlaybackOptions();
}

// A hidden or minimised window keeps no timer, so that an idle player wakes
// for nothing. What changed meanwhile is caught up with when it is back.
static void FollowVisibility() {
    int wanted = IsWindowVisible(Ui.Window) && !IsIconic(Ui.Window);
    if (wanted == TimerRunning)
        return;
    if (wanted) {
        SyncWithPlayer();
        RefreshPosition();
        TimerRunning = SetTimer(Ui.Window, SHOWN_TIMER_ID, TICK_INTERVAL, NULL) != 0;
    } else {
        KillTimer(Ui.Window, SHOWN_TIMER_ID);
        TimerRunning = 0;
    }
    ReadTrackInfoInBackground(wanted);
}

static void OnTick() {
    RefreshPosition();
    if (++Ticks % TICKS_PER_SYNC == 0)
        SyncWithPlayer();
}

static void HideTonquilWindow() {
    SaveSettings();
    ShowWindow(Ui.Window, SW_HIDE);
}

// A window coming into view catches up with the player as it comes
// (FollowVisibility); one in view already does it here.
void ShowTonquilWindow() {
    if (!Ui.Window)
        return;
    if (!IsWindowVisible(Ui.Window))
        ShowWindow(Ui.Window, ShowMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    else if (IsIconic(Ui.Window))
        ShowWindow(Ui.Window, SW_RESTORE);
    else
        SyncWithPlayer();
    SetForegroundWindow(Ui.Window);
    ShowCurrentTrack();
    if (!HasStatus())
        ShowTrackStatus(IDS_CURRENT_TRACK, (LONG)SendToPlayer(CM_GETTRACKNO, 0, 0));
}

void PostTrackChanged(WPARAM index) {
    HWND window = Ui.Window;
    if (window)
        PostMessageW(window, WM_TRACKCHANGED_LATER, index, 0);
}

static void OnDpiChanged(UINT dpi, const RECT *suggested) {
    UINT old = Ui.Dpi;
    Ui.Dpi = dpi;
    ApplyDpiResources();
    RescaleColumns(old, dpi);
    SetWindowPos(Ui.Window, NULL, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutControls();
}

static void OnCommand(WORD id, WORD code) {
    if (OnTransportCommand(id, code) || OnPlaybackOptionCommand(id, code) || code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_ADD:
        AddFilesFromDialog();
        break;
    case IDC_REMOVE:
        RemoveSelectedRows();
        break;
    case IDC_SAVE:
        SavePlaylistAndReport();
        break;
    }
}

// Focus goes back to the control that had it when the window was left.
static void OnActivate(WPARAM state) {
    HWND focus = GetFocus();
    if (LOWORD(state) == WA_INACTIVE && focus && IsChild(Ui.Window, focus))
        Ui.LastFocus = focus;
}

static void OnSetFocus() {
    HWND target = Ui.LastFocus && IsWindow(Ui.LastFocus) && IsChild(Ui.Window, Ui.LastFocus)
                      ? Ui.LastFocus
                      : Ui.List;
    SetFocus(target);
}

static void OnTrackChanged(LONG index) {
    NoteTrackStarted();
    RetryUnreadableTracks();
    RefreshPosition();
    SyncPlaylistView();
    ShowCurrentTrack();
    ShowTrackStatus(IDS_NOW_PLAYING, index);
}

static LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        if ((HWND)lParam == Ui.Volume)
            OnVolumeScroll();
        else if ((HWND)lParam == Ui.Seek)
            OnSeekScroll(LOWORD(wParam));
        return 0;
    case WM_KEYDOWN:
        if (RunWindowKey((UINT)wParam))
            return 0;
        break;
    case WM_WINDOWPOSCHANGED:
        FollowVisibility();
        break;
    case WM_SIZE:
        LayoutControls();
        return 0;
    case WM_GETMINMAXINFO:
        LimitWindowSize((MINMAXINFO *)lParam);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), (const RECT *)lParam);
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETNONCLIENTMETRICS) {
            ApplyDpiResources();
            LayoutControls();
        }
        break;
    case WM_TIMER:
        if (wParam == SHOWN_TIMER_ID)
            OnTick();
        return 0;
    case WM_HOTKEY:
        OnMediaKey(wParam);
        return 0;
    case WM_DROPFILES:
        AddDroppedFiles((HDROP)wParam);
        return 0;
    case WM_TRACKCHANGED_LATER:
        OnTrackChanged((LONG)wParam);
        return 0;
    case WM_SYNC_LATER:
        SyncPlaylistView();
        return 0;
    case WM_TRACK_INFO_READ:
        OnTrackInfoRead((TRACK_INFO_RESULT *)lParam);
        return 0;
    case WM_START_READER:
        StartTrackInfoReader();
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        break;
    case WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case WM_SYSCHAR:
        if (RunMnemonic((WCHAR)wParam))
            return 0;
        break;
    case WM_CLOSE:
        HideTonquilWindow();
        return 0;
    case WM_ENDSESSION:
        // The session ends without XM_UNLOAD.
        if (wParam)
            SaveSettings();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The list's notifications come from inside a message of the list view and
// may use the entry it remembers; every other message starts and ends
// without one.
static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        NMHDR *header = (NMHDR *)lParam;
        if (header->hwndFrom != Ui.List)
            return DefWindowProcW(window, message, wParam, lParam);
        EnterModuleCode();
        LRESULT result = OnPlaylistNotify(header);
        LeaveModuleCode();
        return result;
    }
    EnterModuleCode();
    ForgetCachedEntry();
    LRESULT result = HandleMessage(window, message, wParam, lParam);
    ForgetCachedEntry();
    LeaveModuleCode();
    return result;
}

static int RegisterWindowClass() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = Module.Instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = WINDOW_CLASS_NAME;
    return RegisterClassExW(&windowClass) != 0;
}

static void PlaceWindow(const WINDOW_SETTINGS *settings) {
    if (settings->HasPlace) {
        // Keeps the window hidden; a place off every screen is moved onto one.
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        placement.showCmd = SW_HIDE;
        placement.rcNormalPosition = settings->Place;
        SetWindowPlacement(Ui.Window, &placement);
    } else {
        SetWindowPos(Ui.Window, NULL, 0, 0, Scale(DEFAULT_WIDTH), Scale(DEFAULT_HEIGHT),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowMaximized = settings->Maximized;
}

int CreateTonquilWindow() {
    WINDOW_SETTINGS settings;
    ReadWindowSettings(&settings);
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    if (!RegisterWindowClass())
        return 0;
    ZeroMemory(&Ui, sizeof Ui);
    Ui.Dpi = WindowDpi(NULL);
    WCHAR title[TEXT_SIZE];
    LoadText(IDS_TITLE, title, TEXT_SIZE);
    Ui.Window = CreateWindowExW(WS_EX_ACCEPTFILES, WINDOW_CLASS_NAME, title,
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, Module.Instance, NULL);
    if (!Ui.Window || !CreateControls(Ui.Window)) {
        DestroyTonquilWindow();
        return 0;
    }
    Ui.Dpi = WindowDpi(Ui.Window);
    ApplyDpiResources();
    SetColumnWidths(settings.ColumnWidths);
    PlaceWindow(&settings);
    LayoutControls();
    MediaKeysOn = settings.MediaKeys;
    if (MediaKeysOn)
        RegisterMediaKeys(Ui.Window);
    WindowReady = 1;
    return 1;
}

void DestroyTonquilWindow() {
    StopTrackInfoReader();
    if (Ui.Window) {
        SaveSettings();
        KillTimer(Ui.Window, SHOWN_TIMER_ID);
        UnregisterMediaKeys(Ui.Window);
        DestroyWindow(Ui.Window);
    }
    ForgetTrackInfo();
    WindowReady = 0;
    TimerRunning = 0;
    FreeDpiResources();
    UnregisterClassW(WINDOW_CLASS_NAME, Module.Instance);
    ZeroMemory(&Ui, sizeof Ui);
}
