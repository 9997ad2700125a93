#include "settings/settings.h"

#include "app/paths.h"
#include "app/player_state.h"
#include "tonquil_audio_library.h"
#include "tonquil_extension.h"

#define CLIENT L"Client"
#define TASKTRAY L"TaskTray"
#define VALUE_SIZE 260
#define NUMBER_SIZE 64

LONG ParseLooseInt(const WCHAR *text) {
    if (!text)
        return 0;
    DWORD value = 0;
    for (const WCHAR *c = text; *c; c = CharNextW(c))
        if (*c >= L'0' && *c <= L'9')
            value = value * 10 + (DWORD)(*c - L'0');
    if (text[0] == L'-')
        value = 0 - value;
    return (LONG)value;
}

int IsValueInSet(LONG value, int count, const LONG *values) {
    for (int i = 0; i < count; ++i)
        if (values[i] == value)
            return 1;
    return 0;
}

// A path that did not fit its buffer arrives empty: every key then takes its
// default, as with a missing file.
LONG ReadIntSetting(const WCHAR *section, const WCHAR *key, LONG fallback, const WCHAR *path) {
    WCHAR defaultText[NUMBER_SIZE];
    wsprintfW(defaultText, L"%d", fallback);
    if (!path || !path[0])
        return fallback;
    WCHAR value[VALUE_SIZE];
    GetPrivateProfileStringW(section, key, defaultText, value, VALUE_SIZE, path);
    return ParseLooseInt(value);
}

static const LONG PlayModes[] = {0, 1, 2};
static const LONG SampleBits[] = {0, BASS_SAMPLE_MONO, BASS_SAMPLE_FLOAT};
static const LONG ShowInfos[] = {0, 1, 2};
static const LONG TrackStyles[] = {0, 1};
static const LONG Priorities[] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS};

#define COUNT_OF(array) ((int)(sizeof(array) / sizeof((array)[0])))

static void StoreIfInSet(LONG *field, LONG value, int count, const LONG *values) {
    if (IsValueInSet(value, count, values))
        *field = value;
}

static void StoreIfPercent(LONG *field, LONG value) {
    if (value >= 0 && value <= 100)
        *field = value;
}

static void ReadClientKeys(HWND window, const WCHAR *path) {
    PLAYERSTATE *state = PlayerState;
    state->Mute = ReadIntSetting(CLIENT, L"Mute", 0, path);
    StoreIfInSet(&state->PlayMode, ReadIntSetting(CLIENT, L"PlayMode", 1, path),
                 COUNT_OF(PlayModes), PlayModes);
    StoreIfInSet(&state->SampleBit, ReadIntSetting(CLIENT, L"SampleBit", 0, path),
                 COUNT_OF(SampleBits), SampleBits);
    StoreIfInSet(&state->ShowInfo, ReadIntSetting(CLIENT, L"ShowInfo", 0, path),
                 COUNT_OF(ShowInfos), ShowInfos);
    StoreIfPercent(&state->TrackCount, ReadIntSetting(CLIENT, L"TrackCount", 20, path));
    state->TrackNo = ReadIntSetting(CLIENT, L"TrackNo", 0, path);
    StoreIfPercent(&state->Volume, ReadIntSetting(CLIENT, L"Volume", 100, path));
    StoreIfInSet(&state->TrackStyle, ReadIntSetting(CLIENT, L"TrackStyle", 1, path),
                 COUNT_OF(TrackStyles), TrackStyles);
    // Posted, not sent: both run from the message loop once creation is done,
    // play first.
    if (ReadIntSetting(CLIENT, L"PlayRun", 0, path))
        PostMessageW(window, WM_COMMAND, IDM_PLAY, 0);
    if (ReadIntSetting(CLIENT, L"ShowWnd", 0, path))
        PostMessageW(window, WM_COMMAND, IDM_SHOWWINDOW, 0);
    LONG priority = ReadIntSetting(CLIENT, L"Priority", NORMAL_PRIORITY_CLASS, path);
    if (IsValueInSet(priority, COUNT_OF(Priorities), Priorities))
        SetPriorityClass(GetCurrentProcess(), (DWORD)priority);
}

static void ReadTrayKeys(const WCHAR *path) {
    TRAYCONFIG *tray = TrayConfig;
    tray->Elapse = ReadIntSetting(TASKTRAY, L"Elapse", 130, path);
    tray->LBtnClk = ReadIntSetting(TASKTRAY, L"LBtnClk", IDM_TRACKLIST, path);
    tray->LBtnDblClk = ReadIntSetting(TASKTRAY, L"LBtnDblClk", IDM_PLAYNEXT, path);
    tray->RBtnClk = ReadIntSetting(TASKTRAY, L"RBtnClk", IDM_TRACKMENU, path);
    tray->RBtnDblClk = ReadIntSetting(TASKTRAY, L"RBtnDblClk", 0, path);
    tray->MBtnClk = ReadIntSetting(TASKTRAY, L"MBtnClk", 0, path);
    tray->MBtnDblClk = ReadIntSetting(TASKTRAY, L"MBtnDblClk", 0, path);
}

void ReadSettings(HWND window) {
    WCHAR path[MAX_PATH];
    BuildModulePath(L"tonquil.ini", path);
    ReadClientKeys(window, path);
    ReadTrayKeys(path);
    if (ReadIntSetting(CLIENT, L"Swap", 0, path))
        SetProcessWorkingSetSize(GetCurrentProcess(), (SIZE_T)-1, (SIZE_T)-1);
    PlayerState->FreeAddOn = ReadIntSetting(CLIENT, L"FreeAddOn", 1, path);
}

static void WriteIntSetting(const WCHAR *key, LONG value, const WCHAR *path) {
    WCHAR text[NUMBER_SIZE];
    wsprintfW(text, L"%d", value);
    WritePrivateProfileStringW(CLIENT, key, text, path);
}

void WriteSettings() {
    WCHAR path[MAX_PATH];
    if (!BuildModulePath(L"tonquil.ini", path))
        return;
    WriteIntSetting(L"Mute", PlayerState->Mute, path);
    WriteIntSetting(L"PlayMode", PlayerState->PlayMode, path);
    WriteIntSetting(L"ShowInfo", PlayerState->ShowInfo, path);
    WriteIntSetting(L"SampleBit", PlayerState->SampleBit, path);
    WriteIntSetting(L"TrackNo", PlayerState->TrackNo, path);
    WriteIntSetting(L"Volume", PlayerState->Volume, path);
}
