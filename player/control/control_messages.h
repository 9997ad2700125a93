// The control messages by which other code in the process drives and
// queries the player (values in tonquil_extension.h).
#ifndef TONQUIL_PLAYER_CONTROL_CONTROL_MESSAGES_H
#define TONQUIL_PLAYER_CONTROL_CONTROL_MESSAGES_H

#include <windows.h>

// 1 when message is one of the control messages this window answers.
int IsControlMessage(UINT message);
// Answers one control message; message must pass IsControlMessage.
LRESULT OnControlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
