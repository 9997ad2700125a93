#include "extension/common/player_link.h"

#include "extension/module_record.h"

static LONG CachedIndex;
static const TRACKENTRY *CachedEntry;

static int IsQuery(UINT message) {
    switch (message) {
    case CM_GETTRACKENTRY:
    case CM_GETTRACKNO:
    case CM_GETSAMPLEBIT:
    case CM_GETVOLUME:
    case CM_GETMUTE:
    case CM_GETPLAYMODE:
    case CM_GETSHOWINFO:
    case CM_GETTRACKSTYLE:
    case CM_GETLENGTH:
    case CM_GETPOSITION:
    case CM_GETRESUME:
    case CM_GETREPLAYGAIN:
        return 1;
    }
    return 0;
}

LRESULT SendToPlayer(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!Module.Player)
        return 0;
    LRESULT result = SendMessageW(Module.Player, message, wParam, lParam);
    if (!IsQuery(message))
        ForgetCachedEntry();
    return result;
}

void ForgetCachedEntry() {
    CachedEntry = NULL;
}

const TRACKENTRY *EntryAt(LONG index) {
    if (index < 0)
        return NULL;
    const TRACKENTRY *entry;
    if (CachedEntry && index == CachedIndex)
        entry = CachedEntry;
    else if (CachedEntry && index == CachedIndex + 1)
        entry = CachedEntry->Next;
    else if (CachedEntry && index == CachedIndex - 1)
        entry = CachedEntry->Prev; // a real entry: the cached one is not the first
    else
        entry = (const TRACKENTRY *)SendToPlayer(CM_GETTRACKENTRY, (WPARAM)index, 0);
    CachedEntry = entry;
    CachedIndex = index;
    return entry;
}

static unsigned long long HashValue(unsigned long long hash, DWORD value) {
    for (int byte = 0; byte < 4; ++byte) {
        hash ^= (value >> (8 * byte)) & 0xFF;
        hash *= 1099511628211ull; // FNV-1a
    }
    return hash;
}

PLAYLIST_SHAPE ReadPlaylistShape() {
    PLAYLIST_SHAPE shape = {0, 14695981039346656037ull};
    const TRACKENTRY *entry = (const TRACKENTRY *)SendToPlayer(CM_GETTRACKENTRY, 0, 0);
    for (; entry; entry = entry->Next) {
        shape.Hash = HashValue(shape.Hash, (DWORD)(UINT_PTR)entry);
        shape.Hash = HashValue(shape.Hash, (DWORD)entry->TrackId);
        ++shape.Count;
    }
    return shape;
}

int SameShape(const PLAYLIST_SHAPE *a, const PLAYLIST_SHAPE *b) {
    return a->Count == b->Count && a->Hash == b->Hash;
}
