#include "extension/common/heap.h"

void *HeapZero(SIZE_T bytes) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void HeapRelease(void *block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

int HeapEnsure(void **block, SIZE_T *capacity, SIZE_T bytes) {
    if (*block && *capacity >= bytes)
        return 1;
    SIZE_T size = bytes < 4096 ? 4096 : bytes;
    void *grown =
        *block ? HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, *block, size) : HeapZero(size);
    if (!grown)
        return 0;
    *block = grown;
    *capacity = size;
    return 1;
}
