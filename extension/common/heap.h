// Zero-filled blocks from the process heap, the one allocator of the module.
#ifndef TONQUIL_EXTENSION_HEAP_H
#define TONQUIL_EXTENSION_HEAP_H

#include <windows.h>

void *HeapZero(SIZE_T bytes);  // NULL when the heap is exhausted
void HeapRelease(void *block); // accepts NULL
// Grows *block to at least bytes (keeping its content); 0 when it cannot.
int HeapEnsure(void **block, SIZE_T *capacity, SIZE_T bytes);

#endif
