// The window module with a playlist of 60,000 entries: how long the window
// takes to show, scroll, follow the player and remove a row, and how often
// the player's thread wakes with the window hidden, minimised and shown. The
// player's core runs in this process with the real tonquil.dll beside the
// program, as in the player, and no audio library: the window's reading of
// titles is refused, as the entries name no files anyway. Prints figures;
// it never fails on them.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>

#include "player/app/main_window.h"
#include "player/core/paths.h"
#include "player/core/player_state.h"
#include "bench/bench_support.h"
#include "extension/window/resource.h"
#include "player/playlist/playlist.h"
#include "tonquil_extension.h"

#define ENTRIES 60000

static double Milliseconds() {
    return 1000.0 * NowSeconds();
}

static void Pump() {
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Entries the way the playlist file would give them, without the file's
// check that each one exists.
static void FillPlaylist() {
    PlaylistLoaded = 1;
    TRACKENTRY *last = Playlist;
    WCHAR path[MAX_PATH];
    for (int i = 0; i < ENTRIES; ++i) {
        wsprintfW(path, L"C:\\Music\\Artist %d\\Album %d\\%02d Track number %d.mp3", i / 120,
                  i / 12, i % 12 + 1, i);
        last = LinkNewTrack(last, path);
    }
}

static HWND ModuleWindow() {
    return FindWindowW(WINDOW_CLASS_NAME, NULL);
}

static void Report(const char *what, double milliseconds) {
    printf("%-52s %9.2f ms\n", what, milliseconds);
}

// From the show-window command to the window drawn in full.
static double ShowAndDraw(HWND player) {
    double start = Milliseconds();
    SendMessageW(player, WM_COMMAND, IDM_SHOWWINDOW, 0);
    HWND window = ModuleWindow();
    if (window)
        RedrawWindow(window, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return Milliseconds() - start;
}

static double ScrollTo(HWND list, int row) {
    double start = Milliseconds();
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    UpdateWindow(list);
    return Milliseconds() - start;
}

static double PagesDown(HWND list, int from, int pages) {
    SendMessageW(list, LVM_ENSUREVISIBLE, from, FALSE);
    LVITEMW item = {};
    item.state = item.stateMask = LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, from, (LPARAM)&item);
    UpdateWindow(list);
    SetFocus(list);
    double start = Milliseconds();
    for (int i = 0; i < pages; ++i) {
        SendMessageW(list, WM_KEYDOWN, VK_NEXT, 1);
        UpdateWindow(list);
    }
    return (Milliseconds() - start) / pages;
}

// The ticks of the timer by which the window follows the player while shown:
// the position at every tick, the list at every second one.
static double SyncTicks(HWND window, int syncs) {
    double start = Milliseconds();
    for (int i = 0; i < 2 * syncs; ++i)
        SendMessageW(window, WM_TIMER, 1, 0);
    return (Milliseconds() - start) / syncs;
}

static double DeleteRow(HWND list, int row) {
    LVITEMW item = {};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
    double start = Milliseconds();
    SendMessageW(list, WM_KEYDOWN, VK_DELETE, 1);
    UpdateWindow(list);
    return Milliseconds() - start;
}

// A save never waits for a person here: a question is answered No.
static int WINAPI AnswerNo(HWND, LPCWSTR, LPCWSTR, UINT) {
    return IDNO;
}

static double Save(HWND window) {
    double start = Milliseconds();
    SendMessageW(GetDlgItem(window, IDC_SAVE), BM_CLICK, 0, 0);
    return Milliseconds() - start;
}

static double PlayRow(HWND player, HWND list, int row) {
    double start = Milliseconds();
    NMITEMACTIVATE activate = {};
    activate.hdr.hwndFrom = list;
    activate.hdr.idFrom = IDC_LIST;
    activate.hdr.code = NM_DBLCLK;
    activate.iItem = row;
    SendMessageW(GetParent(list), WM_NOTIFY, IDC_LIST, (LPARAM)&activate);
    Pump();
    UpdateWindow(list);
    double elapsed = Milliseconds() - start;
    return SendMessageW(player, CM_GETTRACKNO, 0, 0) == row ? elapsed : -1;
}

struct WAKEUPS {
    int Messages; // messages that woke the thread
    int Timers;   // WM_TIMER messages among them
    double CpuMs;
};

// Runs the message loop for a while as the player's does, counting.
static WAKEUPS Idle(DWORD ms) {
    WAKEUPS counted = {0, 0, 0};
    double cpu = ProcessCpuSeconds();
    DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = GetTickCount() - start) {
        if (MsgWaitForMultipleObjects(0, NULL, FALSE, ms - passed, QS_ALLINPUT) == WAIT_TIMEOUT)
            break;
        MSG message;
        while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
            ++counted.Messages;
            counted.Timers += message.message == WM_TIMER;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    counted.CpuMs = 1000.0 * (ProcessCpuSeconds() - cpu);
    if (counted.CpuMs < 0)
        counted.CpuMs = 0;
    return counted;
}

static void ReportIdle(const char *what, DWORD ms) {
    WAKEUPS counted = Idle(ms);
    printf("%-52s %3d messages, %3d of them timers, CPU %5.1f ms\n", what, counted.Messages,
           counted.Timers, counted.CpuMs);
}

// Nothing plays, as when the player idles in the tray.
static void ReportStillness(HWND player, HWND window) {
    SendMessageW(player, CM_STOP, 0, 0);
    // What was posted while the figures above were taken is handled first.
    Idle(2000);
    SendMessageW(window, WM_CLOSE, 0, 0);
    ReportIdle("window closed (hidden), 10 s", 10000);
    ShowWindow(window, SW_SHOWNORMAL);
    ShowWindow(window, SW_MINIMIZE);
    ReportIdle("window minimised, 10 s", 10000);
    ShowWindow(window, SW_RESTORE);
    ReportIdle("window shown, 2 s (the time moves 4 times a second)", 2000);
}

int main() {
    HINSTANCE instance = GetModuleHandleW(NULL);
    if (!CreatePlayerRecords() || !RegisterMainClass(instance))
        return 1;
    HWND player = CreateMainWindow(instance);
    if (!player)
        return 1;
    double start = Milliseconds();
    FillPlaylist();
    Report("60,000 entries made in the player's list", Milliseconds() - start);
    SendMessageW(player, CM_SETTRACKNO, ENTRIES / 2, 0);

    Report("show window, current track in the middle (first)", ShowAndDraw(player));
    HWND window = ModuleWindow();
    if (!window) {
        printf("the module did not load: is tonquil.dll beside the program?\n");
        return 1;
    }
    HWND list = GetDlgItem(window, IDC_LIST);
    ShowWindow(window, SW_HIDE);
    Report("show window again", ShowAndDraw(player));
    Report("scroll to the last row and draw", ScrollTo(list, ENTRIES - 1));
    Report("scroll to the first row and draw", ScrollTo(list, 0));
    Report("page down and draw from the top, per page", PagesDown(list, 0, 100));
    Report("page down and draw near the end, per page", PagesDown(list, ENTRIES - 5000, 100));
    Report("sync with the player, list unchanged, per two ticks", SyncTicks(window, 50));
    SendMessageW(player, CM_REMOVETRACK, 10, 0);
    Report("sync with the player after a change elsewhere", SyncTicks(window, 1));
    Report("play a row near the end (double-click)", PlayRow(player, list, ENTRIES - 100));
    Report("delete one row in the middle", DeleteRow(list, ENTRIES / 2));

    void **ask =
        (void **)(void *)GetProcAddress(GetModuleHandleW(L"tonquil.dll"), "MessageBoxCall");
    if (ask)
        *ask = (void *)AnswerNo;
    WCHAR playlist[MAX_PATH];
    if (BuildModulePath(L"tonquil.m3u", playlist))
        DeleteFileW(playlist);
    Report("save, no file before (ANSI)", Save(window));
    Report("save again, compared with that file (ANSI)", Save(window));
    LinkNewTrack(GetTrack(CountTracks() - 1), L"C:\\Music\\\uD55C\uAD6D\uC5B4.mp3");
    Report("save with a Korean path, compared (UTF-8)", Save(window));

    ReportStillness(player, window);

    SendMessageW(player, WM_CLOSE, 0, 0);
    Pump();
    return 0;
}
