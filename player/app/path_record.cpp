#include "player/app/path_record.h"

#include <string.h>

#include "tonquil_heap.h"

static DWORD ReadLength(const BYTE *at) {
    DWORD length;
    memcpy(&length, at, sizeof length);
    return length;
}

// The path that starts at offset, checked; gives the offset after it, or 0.
static DWORD CheckOnePath(const BYTE *bytes, DWORD size, DWORD offset) {
    if (size - offset < sizeof(DWORD))
        return 0;
    DWORD length = ReadLength(bytes + offset);
    offset += sizeof(DWORD);
    if (length == 0 || length > PATH_RECORD_LONGEST_PATH ||
        (size - offset) / sizeof(WCHAR) < length + 1)
        return 0;
    for (DWORD i = 0; i <= length; ++i) {
        WCHAR c;
        memcpy(&c, bytes + offset + i * sizeof(WCHAR), sizeof c);
        if ((c == 0) != (i == length))
            return 0;
    }
    return offset + (length + 1) * (DWORD)sizeof(WCHAR);
}

int CheckPathRecord(const void *data, DWORD size) {
    if (!data || size < sizeof(PATH_RECORD_HEADER) || size > PATH_RECORD_LARGEST_BYTES ||
        size % sizeof(WCHAR))
        return 0;
    const BYTE *bytes = (const BYTE *)data;
    PATH_RECORD_HEADER header;
    memcpy(&header, bytes, sizeof header);
    if (header.Version != PATH_RECORD_VERSION || header.Count == 0 ||
        header.Count > PATH_RECORD_MOST_PATHS || (header.Flags & ~PATH_RECORD_ADD_ONLY))
        return 0;
    DWORD offset = sizeof header;
    for (DWORD i = 0; i < header.Count; ++i) {
        offset = CheckOnePath(bytes, size, offset);
        if (!offset)
            return 0;
    }
    return offset == size;
}

const WCHAR *FirstRecordPath(const void *data) {
    return (const WCHAR *)((const BYTE *)data + sizeof(PATH_RECORD_HEADER) + sizeof(DWORD));
}

const WCHAR *NextRecordPath(const WCHAR *path) {
    return (const WCHAR *)((const BYTE *)(path + lstrlenW(path) + 1) + sizeof(DWORD));
}

void *BuildPathRecord(const WCHAR *first, DWORD count, DWORD flags, DWORD *size) {
    if (count == 0 || count > PATH_RECORD_MOST_PATHS)
        return NULL;
    SIZE_T total = sizeof(PATH_RECORD_HEADER);
    const WCHAR *path = first;
    for (DWORD i = 0; i < count; ++i, path += lstrlenW(path) + 1) {
        DWORD length = (DWORD)lstrlenW(path);
        if (length == 0 || length > PATH_RECORD_LONGEST_PATH)
            return NULL;
        total += sizeof(DWORD) + (length + 1) * sizeof(WCHAR);
    }
    if (total > PATH_RECORD_LARGEST_BYTES)
        return NULL;
    BYTE *record = (BYTE *)HeapZeroAlloc(total);
    if (!record)
        return NULL;
    PATH_RECORD_HEADER header = {PATH_RECORD_VERSION, flags, count};
    memcpy(record, &header, sizeof header);
    BYTE *at = record + sizeof header;
    path = first;
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = (DWORD)lstrlenW(path);
        memcpy(at, &length, sizeof length);
        memcpy(at + sizeof length, path, (length + 1) * sizeof(WCHAR));
        at += sizeof length + (length + 1) * sizeof(WCHAR);
        path += length + 1;
    }
    *size = (DWORD)total;
    return record;
}
