#include "tonquil_heap.h"

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

int HeapEnsure(void **block, SIZE_T *capacity, SIZE_T bytes) {
    if (*block && *capacity >= bytes)
        return 1;
    SIZE_T size = bytes < 4096 ? 4096 : bytes;
    void *grown = *block ? HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, *block, size)
                         : HeapZeroAlloc(size);
    if (!grown)
        return 0;
    *block = grown;
    *capacity = size;
    return 1;
}
