// The settings file tonquil.ini beside the executable.
#ifndef TONQUIL_SETTINGS_SETTINGS_H
#define TONQUIL_SETTINGS_SETTINGS_H

#include <windows.h>

// Reads every key into PlayerState and TrayConfig and carries out the
// start-up options (play, show window, priority, working set).
void ReadSettings(HWND window);
// Writes the six persisted values of PlayerState back.
void WriteSettings();

LONG ReadIntSetting(const WCHAR *section, const WCHAR *key, LONG fallback, const WCHAR *path);
// The digits of text as one number, 32-bit wrap-around; a leading '-' negates.
LONG ParseLooseInt(const WCHAR *text);
// 1 when value equals one of the count listed values.
int IsValueInSet(LONG value, int count, const LONG *values);

#endif
