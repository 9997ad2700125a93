// Byte blocks whose last byte sits right before a PAGE_NOACCESS page, so that
// reading a single byte past a block faults at once.
#ifndef TONQUIL_TESTS_SDK_ID3_GUARDED_BLOCK_H
#define TONQUIL_TESTS_SDK_ID3_GUARDED_BLOCK_H

#include <windows.h>
#include <string>

struct GUARDEDAREA {
    BYTE *start;     // first usable byte; the guard page follows the last one
    SIZE_T capacity; // usable bytes, a whole number of pages
};

// Commits at least capacity zero-filled bytes followed by a guard page.
bool OpenGuardedArea(GUARDEDAREA *area, SIZE_T capacity);
void CloseGuardedArea(GUARDEDAREA *area);
// The last count bytes of the area, to be written in place; NULL when they do
// not fit. What they held before stays.
BYTE *ReserveBeforeGuard(GUARDEDAREA *area, SIZE_T count);
// Copies the bytes so that they end at the guard page; NULL when they do not fit.
const BYTE *PlaceBeforeGuard(GUARDEDAREA *area, const std::string &bytes);

// The bytes placed in one process-wide area of 64 KB. Each call overwrites the
// block the call before placed.
const BYTE *Guarded(const std::string &bytes);

#endif
