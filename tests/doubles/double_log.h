// Shared by the recording doubles: each appends one line per call to a log
// file beside its own DLL, but only when the test has created that file. A
// file survives the DLL being unloaded and works across processes.
#ifndef TONQUIL_TESTS_DOUBLE_LOG_H
#define TONQUIL_TESTS_DOUBLE_LOG_H

#include <windows.h>

// Fills folder with the directory of the module that holds address, ending in '\'.
void DoubleFolder(const void *address, WCHAR *folder, DWORD capacity);
// Appends the formatted line (UTF-8, CR LF) to folder + name if that file exists.
void DoubleLog(const WCHAR *folder, const WCHAR *name, const char *format, ...);

#endif
