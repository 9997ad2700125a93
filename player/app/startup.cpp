#include "player/app/startup.h"

#include "player/app/command_line.h"
#include "player/app/main_window.h"
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

int RunPlayer(HINSTANCE instance) {
    RestrictDllSearch();
    // A playlist entry on a drive without a medium, or a damaged bass.dll or
    // tonquil.dll, must not bring up a system dialog: the player reports
    // nothing to the user.
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
    // Only now is none of the module's code on the stack.
    FreeRetiredExtensionModule();
    return 0;
}
