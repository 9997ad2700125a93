#include "player/app/startup.h"

#include "player/app/command_line.h"
#include "player/app/command_paths.h"
#include "player/app/main_window.h"
#include "player/app/opened_files.h"
#include "player/app/path_handover.h"
#include "player/app/registration.h"
#include "player/core/player_state.h"
#include "player/control/extension_host.h"
#include "player/playlist/random_source.h"

// Both calls are newer than the oldest system the player runs on, so both
// are looked up; the flag's value is fixed by the system.
typedef BOOL(WINAPI *SETDEFAULTDLLDIRECTORIES)(DWORD);
typedef BOOL(WINAPI *SETDLLDIRECTORYW)(LPCWSTR);
#define SEARCH_SYSTEM32_ONLY 0x800 // LOAD_LIBRARY_SEARCH_SYSTEM32

// The audio library, its plug-ins and the module are loaded by full path;
// what they import must come from the system, never from a file of the same
// name planted in the current folder or beside the player (winmm.dll, say).
// Systems without the call at least keep the current folder out.
static void RestrictDllSearch() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel)
        return;
    SETDEFAULTDLLDIRECTORIES setDefault =
        (SETDEFAULTDLLDIRECTORIES)(void *)GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(SEARCH_SYSTEM32_ONLY))
        return;
    SETDLLDIRECTORYW setDirectory =
        (SETDLLDIRECTORYW)(void *)GetProcAddress(kernel, "SetDllDirectoryW");
    if (setDirectory)
        setDirectory(L"");
}

// /register and /unregister are done by whichever process is given them,
// running player or not; such a process does nothing else.
static int HandledRegistration(const COMMAND_PATHS *paths) {
    if (paths->Registration == REGISTRATION_ADD)
        RegisterWithShell();
    else if (paths->Registration == REGISTRATION_REMOVE)
        UnregisterFromShell();
    return paths->Registration != REGISTRATION_NONE;
}

// The paths are made full here, against this process's current folder,
// before the running player (with a folder of its own) sees them. A start
// that brings nothing is most likely the user looking for a missing icon.
static void ForwardToRunningPlayer(const COMMAND_PATHS *paths) {
    HWND player = FindRunningPlayer();
    HandOverPaths(player, paths);
    if (!ForwardCommandLine(player) && paths->Count == 0)
        AskForTrayIcon(player);
}

// The paths of the command line wait for the end of start-up; they are added
// from the message loop.
static int RunFirstInstance(HINSTANCE instance, const COMMAND_PATHS *paths) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    SeedRandom(&now);

    // Without a class, a window or the records there is nothing to wait for:
    // end quietly, as the player reports nothing to the user.
    if (!RegisterMainClass(instance) || !CreatePlayerRecords())
        return 0;
    HWND window = CreateMainWindow(instance);
    if (!window)
        return 0;
    QueueOwnPaths(window, paths);
    SignalPlayerStarted();
    RunMessageLoop();
    // Only now is none of the module's code on the stack.
    FreeRetiredExtensionModule();
    return 0;
}

int RunPlayer(HINSTANCE instance) {
    RestrictDllSearch();
    COMMAND_PATHS paths;
    int readable = ReadCommandPaths(GetCommandLineW(), &paths);
    if (readable && HandledRegistration(&paths)) {
        FreeCommandPaths(&paths);
        return 0;
    }
    // A playlist entry on a drive without a medium, or a damaged bass.dll or
    // tonquil.dll, must not bring up a system dialog: the player reports
    // nothing to the user.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Held until the process ends; the system releases it then.
    HANDLE mutex = CreateMutexW(NULL, TRUE, INSTANCE_MUTEX_NAME);
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS)
        ForwardToRunningPlayer(&paths);
    else
        RunFirstInstance(instance, &paths);
    FreeCommandPaths(&paths);
    return 0;
}
