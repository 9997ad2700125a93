// The module's own record, kept from XM_INIT to XM_UNLOAD. Everything here
// belongs to the player's main thread.
#ifndef TONQUIL_EXTENSION_MODULE_H
#define TONQUIL_EXTENSION_MODULE_H

#include <windows.h>

struct MODULE_RECORD {
    HINSTANCE Instance; // this DLL
    HWND Player;        // the player's main window, as the notifications give it
    int Unloading;      // set by XM_UNLOAD: the windows are gone or going
};

extern MODULE_RECORD Module;

// Around every modal loop the module runs (the open dialog): the player may
// be closed from inside it, and its XM_UNLOAD and FreeLibrary would pull the
// code out from under the loop's caller. The module holds an extra reference
// for the loop and keeps it when the unload came meanwhile, so the code stays
// mapped until the process ends.
void BeginModalLoop();
void EndModalLoop();

#endif
