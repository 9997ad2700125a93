// The two process-wide records of playback state and tray-click bindings.
// Both are created once at start-up and live until the process ends.
#ifndef TONQUIL_APP_PLAYER_STATE_H
#define TONQUIL_APP_PLAYER_STATE_H

#include <windows.h>

struct PLAYERSTATE {
    LONG FreeAddOn;  // nonzero: unload plug-ins before a built-in type is opened
    LONG Mute;       // nonzero: streams play at volume 0
    LONG PlayMode;   // 0 stop at end, 1 list order, 2 shuffle
    LONG SampleBit;  // extra stream flags: 0, 2 (mono) or 256 (float)
    LONG ShowInfo;   // balloon: 0 none, 1 file name, 2 artist and title
    LONG Channel;    // the current stream, 0 for none
    LONG TrackCount; // most items in the track list, 0 to 100
    LONG TrackNo;    // index of the current track; may lie out of range
    LONG TrackStyle; // track list: 1 rolling, 0 clamped
    LONG Volume;     // 0 to 100
};

struct TRAYCONFIG {
    LONG LBtnClk;
    LONG RBtnClk;
    LONG MBtnClk;
    LONG LBtnDblClk;
    LONG RBtnDblClk;
    LONG MBtnDblClk;
    LONG LastButtonUp; // WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP or 0
    LONG Elapse;       // single-click delay in milliseconds
};

extern PLAYERSTATE *PlayerState;
extern TRAYCONFIG *TrayConfig;

// Creates both records with their values at creation (or resets them to
// those values when they exist). Returns 1, or 0 when the heap is exhausted.
int CreatePlayerRecords();

#endif
