// The transport and the player's settings shown in the window: buttons,
// volume, mute and play mode. They change the player through the control
// messages and show what the player holds, whoever changed it.
#ifndef TONQUIL_EXTENSION_TRANSPORT_H
#define TONQUIL_EXTENSION_TRANSPORT_H

#include <windows.h>

// CM_PLAY, CM_PAUSE, CM_STOP, CM_PLAYNEXT or CM_PLAYPREV.
void RunTransport(UINT message);
// The player says nothing about pausing; the module takes a track as playing
// from its XM_TRACKCHANGED until it pauses or stops it itself.
void TogglePlayPause();
void NoteTrackStarted();

// Shows the player's volume, mute and play mode (not while the user is
// dragging the volume).
void SyncTransportControls();
// WM_COMMAND from a control of the window; 1 when it was one of these.
int OnTransportCommand(WORD id, WORD code);
// WM_HSCROLL from the volume slider.
void OnVolumeScroll();

#endif
