// The module's own record, kept from XM_INIT to XM_UNLOAD, and the count of
// its code on the stack. Everything here belongs to the player's main thread.
// The entry points (module.cpp) and the windows both use it; it includes
// nothing of the module.
#ifndef TONQUIL_EXTENSION_MODULE_RECORD_H
#define TONQUIL_EXTENSION_MODULE_RECORD_H

#include <windows.h>

struct MODULE_RECORD {
    HINSTANCE Instance; // this DLL
    HWND Player;        // the player's main window, as the notifications give it
    int Unloading;      // set by XM_UNLOAD: the windows are gone or going
    int BackupTaken;    // tonquil.m3u.bak holds the file as this run found it
};

extern MODULE_RECORD Module;

// Every window procedure of the module counts itself in and out. The player
// can be closed from inside a modal loop that one of them runs (the open
// dialog, a moved window, a menu, a dragged scroll bar); its XM_UNLOAD and
// FreeLibrary would then pull the code out from under the frames still to
// return into. An unload that finds the module's code on the stack keeps a
// reference to the module, so that the code stays until the process ends.
void EnterModuleCode();
void LeaveModuleCode();
// At XM_UNLOAD: keeps the module mapped when any of its code is on the stack.
void KeepCodeWhileRunning();

#endif
