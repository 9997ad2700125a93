#include "guarded_block.h"

#include <string.h>

static SIZE_T PageSize() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwPageSize;
}

bool OpenGuardedArea(GUARDEDAREA *area, SIZE_T capacity) {
    SIZE_T page = PageSize();
    SIZE_T usable = (capacity + page - 1) / page * page;
    area->start = NULL;
    area->capacity = 0;
    BYTE *base =
        (BYTE *)VirtualAlloc(NULL, usable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!base)
        return false;
    DWORD old = 0;
    if (!VirtualProtect(base + usable, page, PAGE_NOACCESS, &old)) {
        VirtualFree(base, 0, MEM_RELEASE);
        return false;
    }
    area->start = base;
    area->capacity = usable;
    return true;
}

void CloseGuardedArea(GUARDEDAREA *area) {
    if (area->start)
        VirtualFree(area->start, 0, MEM_RELEASE);
    area->start = NULL;
    area->capacity = 0;
}

BYTE *ReserveBeforeGuard(GUARDEDAREA *area, SIZE_T count) {
    if (!area->start || count > area->capacity)
        return NULL;
    return area->start + area->capacity - count;
}

const BYTE *PlaceBeforeGuard(GUARDEDAREA *area, const std::string &bytes) {
    BYTE *block = ReserveBeforeGuard(area, bytes.size());
    if (block && !bytes.empty())
        memcpy(block, bytes.data(), bytes.size());
    return block;
}

const BYTE *Guarded(const std::string &bytes) {
    static GUARDEDAREA shared;
    if (!shared.start && !OpenGuardedArea(&shared, 64 * 1024))
        return NULL;
    return PlaceBeforeGuard(&shared, bytes);
}
