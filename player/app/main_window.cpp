#include "player/app/main_window.h"

#include "player/app/commands.h"
#include "player/app/opened_files.h"
#include "player/control/control_messages.h"
#include "player/control/extension_host.h"
#include "player/playback/audio_library.h"
#include "player/playback/playback.h"
#include "player/playback/resume.h"
#include "player/playlist/playlist.h"
#include "player/playlist/shuffle.h"
#include "player/settings/settings.h"
#include "player/tray/tray_clicks.h"
#include "player/tray/tray_icon.h"
#include "player/tray/tray_retry.h"

// The shell broadcasts this when it starts again (after explorer restarts);
// the icon has to be added anew then.
static UINT TaskbarCreatedMessage;
static int SettingsWrittenAtEndSession;

ATOM RegisterMainClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.lpszClassName = MAIN_CLASS_NAME;
    return RegisterClassExW(&windowClass);
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowExW(WS_EX_CONTROLPARENT, MAIN_CLASS_NAME, NULL,
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                           NULL, NULL, instance, NULL);
}

int RunMessageLoop() {
    MSG message = {};
    for (;;) {
        if (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return (int)message.wParam;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            WaitMessage();
        }
    }
}

LRESULT OnCreate(HWND window, WPARAM wParam, LPARAM lParam) {
    AudioLibrary = NULL;
    TeardownStarted = 0;
    SettingsWrittenAtEndSession = 0;
    if (!CreatePlaylistHead() || !CreatePluginHead() || !CreateShuffleHeads())
        return -1; // creation fails; start-up then ends quietly
    TaskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    ReadSettings(window);
    ArmResume();
    PlaceTrayIcon(window);
    return DefWindowProcW(window, WM_CREATE, wParam, lParam);
}

// The position is noted while the stream still exists.
static void SaveSettings() {
    NoteResumePosition();
    WriteSettings();
}

LRESULT OnClose(HWND window, WPARAM wParam, LPARAM lParam) {
    RemoveTrayIcon(window);
    SaveSettings();
    return DefWindowProcW(window, WM_CLOSE, wParam, lParam);
}

LRESULT OnDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
    // From here on an end of stream that is still on its way is dropped: the
    // lists it would touch are about to be freed.
    TeardownStarted = 1;
    DropOpenedPaths(window);
    UnloadExtensionModule(window);
    FreePlaylistHead();
    FreePluginHead();
    FreeShuffleHeads();
    TaskbarCreatedMessage = 0;
    UnloadAudioLibrary();
    PostQuitMessage(0);
    return DefWindowProcW(window, WM_DESTROY, wParam, lParam);
}

// At log-off or shutdown no WM_CLOSE comes; without this the settings of the
// session would be lost.
LRESULT OnEndSession(HWND window, WPARAM wParam, LPARAM lParam) {
    if (wParam && !SettingsWrittenAtEndSession) {
        SettingsWrittenAtEndSession = 1;
        SaveSettings();
    }
    return DefWindowProcW(window, WM_ENDSESSION, wParam, lParam);
}

LRESULT OnTaskbarCreated(HWND window, WPARAM wParam, LPARAM lParam) {
    if (PlaceTrayIcon(window))
        RestoreTrayTip(window);
    return DefWindowProcW(window, TaskbarCreatedMessage, wParam, lParam);
}

// A hidden window is not sure to be told of a new DPI, so every change of
// display or setting has the icon's size looked at again.
LRESULT OnDisplayChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RefreshTrayIcon(window);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, wParam, lParam);
    case WM_DESTROY:
        return OnDestroy(window, wParam, lParam);
    case WM_CLOSE:
        return OnClose(window, wParam, lParam);
    case WM_ENDSESSION:
        return OnEndSession(window, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_TIMER:
        if (wParam == SELECTION_TIMER_ID)
            return OnSelectionTimer(window, wParam, lParam);
        if (wParam == TRAY_RETRY_TIMER_ID)
            return OnTrayRetryTimer(window, wParam, lParam);
        return OnClickTimer(window, wParam, lParam);
    case WM_COPYDATA:
        return OnCopyData(window, wParam, lParam);
    case WM_TRAYNOTIFY:
        return OnTrayNotify(window, wParam, lParam);
    case WM_TRAYRETRY:
        return OnTrayRetryRequest(window, wParam, lParam);
    case WM_TRACKEND:
        return OnTrackEndMessage(window, wParam, lParam);
    case WM_DPICHANGED:
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
        return OnDisplayChange(window, message, wParam, lParam);
    }
    if (IsControlMessage(message))
        return OnControlMessage(window, message, wParam, lParam);
    if (TaskbarCreatedMessage && message == TaskbarCreatedMessage)
        return OnTaskbarCreated(window, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}
