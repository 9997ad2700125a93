#include "running_player.h"

#include "test_support.h"

std::wstring PlayerFolder(const wchar_t *name) {
    std::wstring folder = MakeScratchFolder(name);
    CopyInto(BinFolder() + L"tonquil.exe", folder + L"tonquil.exe");
    return folder;
}

RunningPlayer StartPlayer(const std::wstring &folder, const std::wstring &arguments) {
    RunningPlayer player = {StartProcess(folder + L"tonquil.exe", arguments), NULL};
    if (player.process)
        player.window = WaitForWindow(L"Tonquil", GetProcessId(player.process), 10000);
    return player;
}

int WaitForExit(RunningPlayer &player) {
    if (!player.process)
        return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(player.process, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(player.process, &code);
    else
        TerminateProcess(player.process, 1);
    CloseHandle(player.process);
    player.process = NULL;
    return (int)code;
}

int CloseAndWait(RunningPlayer &player) {
    PostMessageW(player.window, WM_CLOSE, 0, 0);
    return WaitForExit(player);
}

int CountPlayerWindows() {
    int count = 0;
    for (HWND window = FindWindowW(L"Tonquil", NULL); window;
         window = FindWindowExW(NULL, window, L"Tonquil", NULL))
        ++count;
    return count;
}
