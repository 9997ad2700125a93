#include "extension/module_record.h"

MODULE_RECORD Module;

static int CodeDepth;

void EnterModuleCode() {
    ++CodeDepth;
}

void LeaveModuleCode() {
    --CodeDepth;
}

// The reference is never given back: the player unloads the module only
// when its window is destroyed, on its way to the end of the process.
void KeepCodeWhileRunning() {
    if (CodeDepth <= 0)
        return;
    HMODULE self;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, (LPCWSTR)(void *)&Module, &self);
}
