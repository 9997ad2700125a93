#include "player/settings/settings.h"

#include "player/core/paths.h"
#include "player/core/player_state.h"
#include "tonquil_extension.h"

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

int IsAcceptedSetting(const SETTING_RULE *rule, LONG value) {
    switch (rule->Check) {
    case CHECK_SET:
        return IsValueInSet(value, rule->Count, rule->Values);
    case CHECK_RANGE:
        return value >= rule->Values[0] && value <= rule->Values[1];
    default:
        return 1;
    }
}

int StoreSetting(LONG *field, LONG value) {
    for (int i = 0; i < SettingRuleCount; ++i) {
        const SETTING_RULE *rule = &SettingRules[i];
        if (field && SettingField(rule) == field) {
            if (!IsAcceptedSetting(rule, value))
                return 0;
            *field = value;
            return 1;
        }
    }
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

static void CarryOut(HWND window, const SETTING_RULE *rule, LONG value) {
    switch (rule->Target) {
    // Posted, not sent: both run from the message loop once creation is done,
    // play first.
    case TARGET_PLAY_AT_START:
        if (value)
            PostMessageW(window, WM_COMMAND, IDM_PLAY, 0);
        break;
    case TARGET_SHOW_AT_START:
        if (value)
            PostMessageW(window, WM_COMMAND, IDM_SHOWWINDOW, 0);
        break;
    case TARGET_PRIORITY:
        SetPriorityClass(GetCurrentProcess(), (DWORD)value);
        break;
    case TARGET_WORKING_SET:
        if (value)
            SetProcessWorkingSetSize(GetCurrentProcess(), (SIZE_T)-1, (SIZE_T)-1);
        break;
    default:
        *SettingField(rule) = value;
    }
}

// The keys found in the file at the last read, one bit per rule (the table
// has a static check that its rules fit).
static DWORD KeysInFile;

// An absent key gives whichever default is asked for; a present one gives the
// same text both times.
static int IsKeyInFile(const SETTING_RULE *rule, const WCHAR *path) {
    WCHAR first[2], second[2];
    GetPrivateProfileStringW(rule->Section, rule->Key, L"0", first, 2, path);
    GetPrivateProfileStringW(rule->Section, rule->Key, L"1", second, 2, path);
    return first[0] == second[0];
}

void ReadSettings(HWND window) {
    WCHAR path[MAX_PATH];
    BuildModulePath(TQ_SETTINGS_FILE, path);
    KeysInFile = 0;
    for (int i = 0; i < SettingRuleCount; ++i) {
        const SETTING_RULE *rule = &SettingRules[i];
        LONG value = ReadIntSetting(rule->Section, rule->Key, rule->WhenRead, path);
        if (IsAcceptedSetting(rule, value))
            CarryOut(window, rule, value);
        if (rule->Written == WRITE_WHEN_SET && path[0] && IsKeyInFile(rule, path))
            KeysInFile |= 1u << i;
    }
}

static void WriteIntSetting(const SETTING_RULE *rule, LONG value, const WCHAR *path) {
    WCHAR text[NUMBER_SIZE];
    wsprintfW(text, L"%d", value);
    WritePrivateProfileStringW(rule->Section, rule->Key, text, path);
}

static int IsWrittenBack(int index) {
    const SETTING_RULE *rule = &SettingRules[index];
    switch (rule->Written) {
    case WRITE_ALWAYS:
        return 1;
    case WRITE_WHEN_SET:
        return *SettingField(rule) != 0 || (KeysInFile & (1u << index));
    case WRITE_WHEN_RESUMING:
        return PlayerState->Resume != 0;
    default:
        return 0;
    }
}

void WriteSettings() {
    WCHAR path[MAX_PATH];
    if (!BuildModulePath(TQ_SETTINGS_FILE, path))
        return;
    // Windows refuses to write a file the user made read-only; Wine run as
    // root would write it all the same.
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return;
    for (int i = 0; i < SettingRuleCount; ++i)
        if (IsWrittenBack(i))
            WriteIntSetting(&SettingRules[i], *SettingField(&SettingRules[i]), path);
}
