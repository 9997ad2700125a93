// Reads a DLL's export names from the file itself, so a DLL can be
// judged without loading it (and without running its start-up code).
#ifndef TONQUIL_ENGINE_PLUGINS_PE_EXPORTS_H
#define TONQUIL_ENGINE_PLUGINS_PE_EXPORTS_H

#include <windows.h>

// True when path is a DLL of the engine's own machine (x86 or x64) whose
// export table names name.
bool DllExportsName(const WCHAR *path, const char *name);

#endif
