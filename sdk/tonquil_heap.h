/*
 * Zero-filled blocks from the process heap: the one allocator of the player,
 * the window module and the readers here, so that a block one of them makes
 * another may free.
 */
#ifndef TONQUIL_HEAP_H
#define TONQUIL_HEAP_H

#include <windows.h>

void *HeapZeroAlloc(SIZE_T bytes); /* NULL when the heap is exhausted */
void HeapRelease(void *block);     /* accepts NULL */
/* A copy of text, or NULL when text is NULL or the heap is exhausted. */
WCHAR *HeapCopyText(const WCHAR *text);
/* Grows *block to at least bytes, keeping its content; 0 when it cannot. */
int HeapEnsure(void **block, SIZE_T *capacity, SIZE_T bytes);

#endif
