#include "player/app/command_line.h"

#include "tonquil_heap.h"
#include "player/app/main_window.h"
#include "tonquil_extension.h"

// How long a second start waits for the player to take its command. A
// player whose thread takes no messages at all is given up at once; one
// that shows a box (About) or a menu still takes the command.
#define FORWARD_TIMEOUT_MS 5000

static WCHAR *LowerCaseCopy(const WCHAR *text) {
    LCID locale = GetUserDefaultLCID();
    int length = LCMapStringW(locale, LCMAP_LOWERCASE, text, -1, NULL, 0);
    if (length <= 0)
        return NULL;
    WCHAR *lower = (WCHAR *)HeapZeroAlloc(((SIZE_T)length + 1) * sizeof(WCHAR));
    if (lower && !LCMapStringW(locale, LCMAP_LOWERCASE, text, -1, lower, length)) {
        HeapRelease(lower);
        return NULL;
    }
    return lower;
}

int ForwardCommandLine(HWND player) {
    WCHAR *line = LowerCaseCopy(GetCommandLineW());
    if (!line)
        return 0;
    int command = player ? CommandForLine(line) : 0;
    HeapRelease(line);
    DWORD_PTR answer;
    if (command)
        SendMessageTimeoutW(player, WM_COMMAND, (WPARAM)command, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            FORWARD_TIMEOUT_MS, &answer);
    return command != 0;
}
