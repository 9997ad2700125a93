#include "extension/files/add_files.h"

#include "tonquil_heap.h"
#include "extension/module_record.h"
#include "extension/list/playlist_edit.h"
#include "extension/list/playlist_view.h"
#include "extension/window/resource.h"
#include "extension/window/status_bar.h"
#include "extension/common/texts.h"
#include "extension/window/window_ui.h"

#include <cderr.h>
#include <commdlg.h>

// Room for the names the open dialog hands back at once.
#define CHOSEN_FILES_SIZE 65536

void AddDroppedFiles(HDROP drop) {
    POINT point = {0, 0};
    DragQueryPoint(drop, &point);
    INSERT_BATCH batch;
    BeginInsert(&batch, DropIndexAt(point));
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, NULL, 0);
    WCHAR *path = NULL;
    SIZE_T capacity = 0;
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileW(drop, i, NULL, 0);
        if (!length || !HeapEnsure((void **)&path, &capacity, (length + 1) * sizeof(WCHAR)))
            continue;
        if (DragQueryFileW(drop, i, path, length + 1))
            InsertPath(&batch, path);
    }
    HeapRelease(path);
    DragFinish(drop);
    FinishInsert(&batch);
}

// The resource keeps the filter's separators as '|'; the dialog wants zeros.
static void LoadFilter(WCHAR *filter, int capacity) {
    LoadText(IDS_OPEN_FILTER, filter, capacity - 1);
    int length = lstrlenW(filter);
    for (int i = 0; i < length; ++i)
        if (filter[i] == L'|')
            filter[i] = 0;
    filter[length] = 0;
    filter[length + 1] = 0;
}

// Runs the dialog; gives the chosen names (folder, then names, each ended
// by a zero, the list by two) in a heap block, or NULL.
static WCHAR *ChooseFiles() {
    WCHAR *chosen = (WCHAR *)HeapZeroAlloc(CHOSEN_FILES_SIZE * sizeof(WCHAR));
    if (!chosen)
        return NULL;
    WCHAR filter[TEXT_SIZE + 1], title[TEXT_SIZE];
    LoadFilter(filter, TEXT_SIZE + 1);
    LoadText(IDS_OPEN_TITLE, title, TEXT_SIZE);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Ui.Window;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = CHOSEN_FILES_SIZE;
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                   OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    BOOL ok = GetOpenFileNameW(&dialog);
    // The player may have been closed from inside the dialog.
    if (!ok || Module.Unloading) {
        if (!ok && !Module.Unloading && CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
            ShowStatusText(IDS_TOO_MANY_FILES);
        HeapRelease(chosen);
        return NULL;
    }
    return chosen;
}

// One name of several: the folder and the name joined.
static void InsertJoined(INSERT_BATCH *batch, const WCHAR *folder, const WCHAR *name) {
    int folderLength = lstrlenW(folder);
    WCHAR *path =
        (WCHAR *)HeapZeroAlloc((SIZE_T)(folderLength + lstrlenW(name) + 2) * sizeof(WCHAR));
    if (!path)
        return;
    lstrcpyW(path, folder);
    if (folderLength && folder[folderLength - 1] != L'\\')
        lstrcatW(path, L"\\");
    lstrcatW(path, name);
    InsertPath(batch, path);
    HeapRelease(path);
}

void AddFilesFromDialog() {
    WCHAR *chosen = ChooseFiles();
    if (!chosen)
        return;
    INSERT_BATCH batch;
    BeginInsert(&batch, -1);
    const WCHAR *first = chosen;
    const WCHAR *name = first + lstrlenW(first) + 1;
    if (!*name) {
        InsertPath(&batch, first); // one file: its full path
    } else {
        for (; *name; name += lstrlenW(name) + 1)
            InsertJoined(&batch, first, name);
    }
    HeapRelease(chosen);
    FinishInsert(&batch);
}
