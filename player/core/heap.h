// Zero-filled allocations from the process heap, the one allocator of the player.
#ifndef TONQUIL_PLAYER_CORE_HEAP_H
#define TONQUIL_PLAYER_CORE_HEAP_H

#include <windows.h>

void *HeapZeroAlloc(SIZE_T bytes);
void HeapRelease(void *block);          // accepts NULL
WCHAR *HeapCopyText(const WCHAR *text); // NULL when text is NULL or the heap is exhausted

#endif
