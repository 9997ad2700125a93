#include "app/startup.h"

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/player_state.h"
#include "playlist/random_source.h"

int RunPlayer(HINSTANCE instance) {
    // A playlist entry on a drive without a medium must not bring up a system
    // dialog: the player reports nothing to the user.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Held until the process ends; the system releases it then.
    HANDLE mutex = CreateMutexW(NULL, TRUE, INSTANCE_MUTEX_NAME);
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        ForwardCommandLine();
        return 0;
    }

    SYSTEMTIME now;
    GetLocalTime(&now);
    SeedRandom(&now);

    // Without a class, a window or the records there is nothing to wait for:
    // end quietly, as the player reports nothing to the user.
    if (!RegisterMainClass(instance) || !CreatePlayerRecords())
        return 0;
    if (!CreateMainWindow(instance))
        return 0;
    RunMessageLoop();
    return 0;
}
