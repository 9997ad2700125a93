#include "player/app/command_line.h"

#include "player/core/heap.h"
#include "player/app/main_window.h"
#include "tonquil_extension.h"

// How long a second start waits for the player to take its command. A
// player whose thread takes no messages at all is given up at once; one
// that shows a box (About) or a menu still takes the command.
#define FORWARD_TIMEOUT_MS 5000

struct OPTION {
    const WCHAR *Text;
    WORD Command;
};

// Tested in this order: "/playnext" and "/playprev" come before "/play",
// which they begin with.
static const OPTION Options[] = {
    {L"/about", IDM_ABOUT},           {L"/exit", IDM_EXIT},         {L"/pause", IDM_PAUSE},
    {L"/playnext", IDM_PLAYNEXT},     {L"/playprev", IDM_PLAYPREV}, {L"/play", IDM_PLAY},
    {L"/showwindow", IDM_SHOWWINDOW}, {L"/stop", IDM_STOP},         {L"/trackmenu", IDM_TRACKMENU},
    {L"/tracklist", IDM_TRACKLIST},
};

// After a partial match the scan goes on at the character that differed.
// No option holds its leading '/' twice, so no occurrence is missed.
int FindOption(const WCHAR *text, const WCHAR *option) {
    if (!text || !option || !option[0])
        return -1;
    int position = 0;
    while (text[position]) {
        if (text[position] != option[0]) {
            ++position;
            continue;
        }
        int matched = 0;
        while (option[matched] && text[position + matched] == option[matched])
            ++matched;
        if (!option[matched])
            return position;
        position += matched;
    }
    return -1;
}

int CommandForLine(const WCHAR *lowerLine) {
    for (const OPTION &option : Options)
        if (FindOption(lowerLine, option.Text) >= 0)
            return option.Command;
    return 0;
}

int IsOptionName(const WCHAR *argument) {
    for (const OPTION &option : Options)
        if (lstrcmpiW(argument, option.Text) == 0)
            return 1;
    return 0;
}

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

void ForwardCommandLine(HWND player) {
    WCHAR *line = LowerCaseCopy(GetCommandLineW());
    if (!line)
        return;
    int command = player ? CommandForLine(line) : 0;
    HeapRelease(line);
    DWORD_PTR answer;
    if (command)
        SendMessageTimeoutW(player, WM_COMMAND, (WPARAM)command, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            FORWARD_TIMEOUT_MS, &answer);
}
