// Opening the files cue sheets come from: sheets, and images that embed one.
#ifndef TONQUIL_CUE_CUE_INPUT_H
#define TONQUIL_CUE_CUE_INPUT_H

#include <windows.h>

// Opens path for reading, shared with any program that writes, moves or
// deletes it meanwhile (a tagger saving the image, say); INVALID_HANDLE_VALUE
// when it cannot be opened.
HANDLE OpenCueInput(const WCHAR *path);

#endif
