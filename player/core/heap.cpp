#include "player/core/heap.h"

void *HeapZeroAlloc(SIZE_T bytes) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void HeapRelease(void *block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

WCHAR *HeapCopyText(const WCHAR *text) {
    if (!text)
        return NULL;
    SIZE_T length = (SIZE_T)lstrlenW(text);
    WCHAR *copy = (WCHAR *)HeapZeroAlloc((length + 1) * sizeof(WCHAR));
    if (copy)
        CopyMemory(copy, text, length * sizeof(WCHAR));
    return copy;
}
