// The texts of ID3 fields and frames: their encodings, blanks and the heap
// they are taken from.
#ifndef TONQUIL_SDK_ID3_TEXT_H
#define TONQUIL_SDK_ID3_TEXT_H

#include <windows.h>

#include "tonquil_heap.h"


// The bytes up to the first zero among count, converted from the code page.
WCHAR *TextUntilZero(UINT codePage, const BYTE *bytes, int count);
// The text of a frame's data after its encoding byte, or NULL for an
// encoding that is not known.
WCHAR *EncodedText(BYTE encoding, const BYTE *bytes, int count);
// Removes leading and trailing spaces and tabs; frees the text and gives NULL
// when nothing is left.
WCHAR *TrimBlanks(WCHAR *text);

#endif
