#include "player/app/path_handover.h"

#include "player/app/main_window.h"
#include "player/app/path_record.h"
#include "player/core/window_contract.h"
#include "tonquil_heap.h"

// As long as the player may take to add a record's paths to its queue: it
// only copies them.
#define HANDOVER_TIMEOUT_MS 5000

// Either side may make the event first; it lasts while either holds it.
static HANDLE OpenStartedEvent() {
    return CreateEventW(NULL, TRUE, FALSE, PLAYER_STARTED_EVENT);
}

void SignalPlayerStarted() {
    HANDLE started = OpenStartedEvent();
    if (started)
        SetEvent(started);
}

// An older player sets no event: its window is there once its mutex is.
HWND FindRunningPlayer() {
    HWND player = FindWindowW(MAIN_CLASS_NAME, NULL);
    if (player)
        return player;
    HANDLE started = OpenStartedEvent();
    if (!started)
        return NULL;
    WaitForSingleObject(started, STARTING_PLAYER_WAIT_MS);
    CloseHandle(started);
    return FindWindowW(MAIN_CLASS_NAME, NULL);
}

void HandOverPaths(HWND player, const COMMAND_PATHS *paths) {
    if (!player || paths->Count == 0)
        return;
    DWORD size = 0;
    void *record = BuildPathRecord(paths->Paths, paths->Count,
                                   paths->AddOnly ? PATH_RECORD_ADD_ONLY : 0, &size);
    if (!record)
        return;
    COPYDATASTRUCT copied = {PATH_RECORD_TAG, size, record};
    DWORD_PTR answer;
    SendMessageTimeoutW(player, WM_COPYDATA, 0, (LPARAM)&copied, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        HANDOVER_TIMEOUT_MS, &answer);
    HeapRelease(record);
}

void AskForTrayIcon(HWND player) {
    if (player)
        PostMessageW(player, WM_TRAYRETRY, 0, 0);
}
