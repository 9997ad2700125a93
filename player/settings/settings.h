// The settings file tonquil.ini beside the executable.
#ifndef TONQUIL_PLAYER_SETTINGS_SETTINGS_H
#define TONQUIL_PLAYER_SETTINGS_SETTINGS_H

#include <windows.h>
#include "player/core/player_state.h"

// Reads every key into PlayerState and TrayConfig and carries out the
// start-up options (play, show window, priority, working set).
void ReadSettings(HWND window);
// Writes the persisted values of PlayerState back.
void WriteSettings();

// 1 when the rule takes value.
int IsAcceptedSetting(const SETTING_RULE *rule, LONG value);
// Stores value into a field of PlayerState or TrayConfig when the field's
// rule takes it, as the control messages set them. Returns 1 when stored.
int StoreSetting(LONG *field, LONG value);

LONG ReadIntSetting(const WCHAR *section, const WCHAR *key, LONG fallback, const WCHAR *path);
// The digits of text as one number, 32-bit wrap-around; a leading '-' negates.
LONG ParseLooseInt(const WCHAR *text);
// 1 when value equals one of the count listed values.
int IsValueInSet(LONG value, int count, const LONG *values);

#endif
