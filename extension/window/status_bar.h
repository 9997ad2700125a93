// The status bar: a message part and the number of tracks.
#ifndef TONQUIL_EXTENSION_STATUS_BAR_H
#define TONQUIL_EXTENSION_STATUS_BAR_H

#include <windows.h>

HWND CreateStatusBar(HWND window);
void ShowStatus(const WCHAR *text);
// One of the module's texts as the message.
void ShowStatusText(UINT id);
// The text id naming the entry at index by its number and name; nothing
// when there is no such entry.
void ShowTrackStatus(UINT id, LONG index);
// 1 when a message is shown.
int HasStatus();
void ShowTrackCount(LONG count);
// Sizes the bar to the window and its parts to the DPI; gives its height.
int LayoutStatusBar();

#endif
