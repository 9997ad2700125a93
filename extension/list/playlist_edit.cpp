#include "extension/list/playlist_edit.h"

#include "extension/common/player_link.h"
#include "extension/list/playlist_view.h"
#include "extension/window/resource.h"
#include "extension/window/status_bar.h"

void BeginInsert(INSERT_BATCH *batch, LONG position) {
    ZeroMemory(batch, sizeof *batch);
    batch->CountBefore = ReadPlaylistShape().Count;
    batch->Position = position >= 0 && position < batch->CountBefore ? position : -1;
    batch->First = batch->Position;
}

static void NoteRefusal(INSERT_BATCH *batch, const WCHAR *path, int isFolder) {
    if (batch->Refused++ == 0) {
        CopyShortName(path, batch->FirstRefused);
        batch->FirstRefusedIsFolder = isFolder;
    }
}

void InsertPath(INSERT_BATCH *batch, const WCHAR *path) {
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        NoteRefusal(batch, path, 1);
        return;
    }
    if (!SendToPlayer(CM_INSERTTRACK, (WPARAM)batch->Position, (LPARAM)path)) {
        NoteRefusal(batch, path, 0);
        return;
    }
    ++batch->Added;
    if (batch->Position >= 0)
        ++batch->Position;
}

void FinishInsert(INSERT_BATCH *batch) {
    LONG current = (LONG)SendToPlayer(CM_GETTRACKNO, 0, 0);
    if (batch->Added && batch->First >= 0 && batch->First <= current &&
        current < batch->CountBefore)
        SendToPlayer(CM_SETTRACKNO, (WPARAM)(current + batch->Added), 0);
    SyncPlaylistView();
    WCHAR text[TEXT_SIZE], refused[TEXT_SIZE], reason[TEXT_SIZE];
    FormatText(text, IDS_ADDED, (int)batch->Added);
    if (batch->Refused) {
        LoadText(batch->FirstRefusedIsFolder ? IDS_REASON_FOLDER : IDS_REASON_REFUSED, reason,
                 TEXT_SIZE);
        FormatText(refused, IDS_ADD_REFUSED, (int)batch->Refused, batch->FirstRefused, reason);
        lstrcpynW(text + lstrlenW(text), refused, TEXT_SIZE - lstrlenW(text));
    }
    ShowStatus(text);
}
