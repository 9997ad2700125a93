#include "player/playlist/path_entries.h"

#include <shlwapi.h>
#include <stdlib.h>

#include "tonquil_heap.h"

// A folder as the file system knows it, whatever path reached it.
struct FOLDER_IDENTITY {
    DWORD Volume;
    DWORD IndexHigh;
    DWORD IndexLow;
};

struct VISITED_FOLDERS {
    FOLDER_IDENTITY *Items;
    DWORD Count;
    DWORD Room;
};

struct FOLDER_NAME {
    WCHAR *Name;
    int IsFolder;
};

struct FOLDER_NAMES {
    FOLDER_NAME *Items;
    DWORD Count;
    DWORD Room;
};

static int IdentifyFolder(const WCHAR *folder, FOLDER_IDENTITY *identity) {
    HANDLE handle = CreateFileW(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION information = {};
    int known = GetFileInformationByHandle(handle, &information) != 0;
    CloseHandle(handle);
    identity->Volume = information.dwVolumeSerialNumber;
    identity->IndexHigh = information.nFileIndexHigh;
    identity->IndexLow = information.nFileIndexLow;
    return known;
}

// Grows a list of items of the given size to hold one more; 0 when full.
static int MakeRoom(void **items, DWORD count, DWORD *room, SIZE_T itemSize) {
    if (count < *room)
        return 1;
    DWORD grown = *room ? *room * 2 : 64;
    void *larger = HeapZeroAlloc((SIZE_T)grown * itemSize);
    if (!larger)
        return 0;
    if (*items)
        CopyMemory(larger, *items, (SIZE_T)count * itemSize);
    HeapRelease(*items);
    *items = larger;
    *room = grown;
    return 1;
}

// 1 when the folder is seen for the first time and now noted.
static int NoteVisit(VISITED_FOLDERS *visited, const WCHAR *folder) {
    FOLDER_IDENTITY identity;
    if (!IdentifyFolder(folder, &identity))
        return 0;
    for (DWORD i = 0; i < visited->Count; ++i) {
        const FOLDER_IDENTITY &seen = visited->Items[i];
        if (seen.Volume == identity.Volume && seen.IndexHigh == identity.IndexHigh &&
            seen.IndexLow == identity.IndexLow)
            return 0;
    }
    if (!MakeRoom((void **)&visited->Items, visited->Count, &visited->Room, sizeof identity))
        return 0;
    visited->Items[visited->Count++] = identity;
    return 1;
}

static int AddName(FOLDER_NAMES *names, const WIN32_FIND_DATAW *found) {
    if (!MakeRoom((void **)&names->Items, names->Count, &names->Room, sizeof(FOLDER_NAME)))
        return 0;
    WCHAR *name = HeapCopyText(found->cFileName);
    if (!name)
        return 0;
    names->Items[names->Count].Name = name;
    names->Items[names->Count].IsFolder = (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    ++names->Count;
    return 1;
}

static int IsDotName(const WCHAR *name) {
    return name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]));
}

// Joins folder and name into a buffer of MAX_PATH; 0 when it does not fit.
static int JoinPath(const WCHAR *folder, const WCHAR *name, WCHAR *path) {
    int length = lstrlenW(folder);
    int slash = length > 0 && folder[length - 1] != L'\\';
    if (length + slash + lstrlenW(name) >= MAX_PATH)
        return 0;
    lstrcpyW(path, folder);
    if (slash)
        lstrcatW(path, L"\\");
    lstrcatW(path, name);
    return 1;
}

static void ListFolder(const WCHAR *folder, FOLDER_NAMES *names) {
    WCHAR pattern[MAX_PATH];
    if (!JoinPath(folder, L"*", pattern))
        return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!IsDotName(found.cFileName) && !AddName(names, &found))
            break;
    } while (names->Count < FOLDER_NAMES_LIMIT && FindNextFileW(search, &found));
    FindClose(search);
}

// Explorer's order: digits compare as numbers, "2 x" before "10 x".
static int CompareNames(const void *left, const void *right) {
    return StrCmpLogicalW(((const FOLDER_NAME *)left)->Name, ((const FOLDER_NAME *)right)->Name);
}

static void FreeNames(FOLDER_NAMES *names) {
    for (DWORD i = 0; i < names->Count; ++i)
        HeapRelease(names->Items[i].Name);
    HeapRelease(names->Items);
}

static LONG WalkFolder(APPENDING *appending, const WCHAR *folder, int depth,
                       VISITED_FOLDERS *visited) {
    if (depth > FOLDER_DEPTH_LIMIT || !NoteVisit(visited, folder))
        return 0;
    FOLDER_NAMES names = {};
    ListFolder(folder, &names);
    qsort(names.Items, names.Count, sizeof(FOLDER_NAME), CompareNames);
    LONG added = 0;
    for (DWORD i = 0; i < names.Count && appending->Room > 0; ++i) {
        WCHAR path[MAX_PATH];
        if (!JoinPath(folder, names.Items[i].Name, path))
            continue;
        added += names.Items[i].IsFolder ? WalkFolder(appending, path, depth + 1, visited)
                                         : AppendFileEntry(appending, path);
    }
    FreeNames(&names);
    return added;
}

LONG AppendFolderEntries(APPENDING *appending, const WCHAR *folder) {
    VISITED_FOLDERS visited = {};
    LONG added = WalkFolder(appending, folder, 0, &visited);
    HeapRelease(visited.Items);
    return added;
}
