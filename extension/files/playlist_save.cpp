#include "extension/files/playlist_save.h"

#include "tonquil_extension.h"

#include "extension/files/dropped_entries.h"
#include "tonquil_heap.h"
#include "extension/module_record.h"
#include "extension/files/plain_copy.h"
#include "extension/common/player_link.h"
#include "extension/list/playlist_view.h"
#include "extension/window/resource.h"
#include "extension/window/status_bar.h"
#include "extension/common/texts.h"
#include "extension/window/window_ui.h"

#define WRITE_BUFFER_SIZE 65536

MESSAGEBOXPROC MessageBoxCall = MessageBoxW;

struct OUTPUT_FILE {
    HANDLE File;
    char *Buffer;
    DWORD Used;
    int Failed;
};

static void FlushOutput(OUTPUT_FILE *output) {
    DWORD written = 0;
    if (output->Used && !output->Failed &&
        (!WriteFile(output->File, output->Buffer, output->Used, &written, NULL) ||
         written != output->Used))
        output->Failed = 1;
    output->Used = 0;
}

static void WriteOutput(OUTPUT_FILE *output, const char *bytes, DWORD length) {
    while (length && !output->Failed) {
        if (output->Used == WRITE_BUFFER_SIZE)
            FlushOutput(output);
        DWORD room = WRITE_BUFFER_SIZE - output->Used;
        DWORD part = length < room ? length : room;
        CopyMemory(output->Buffer + output->Used, bytes, part);
        output->Used += part;
        bytes += part;
        length -= part;
    }
}

// The path in the code page (CP_ACP or CP_UTF8) into *line, without
// terminator; gives its length, or -1 when the code page cannot hold it
// exactly.
static int Encode(const WCHAR *path, UINT codePage, char **line, SIZE_T *capacity) {
    // In UTF-8 every valid path fits, and the used-default flag is not
    // allowed; only broken surrogates fail there.
    int utf8 = codePage == CP_UTF8 || GetACP() == CP_UTF8;
    DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL *usedDefaultFlag = utf8 ? NULL : &usedDefault;
    int length = WideCharToMultiByte(codePage, flags, path, -1, NULL, 0, NULL, usedDefaultFlag);
    if (length <= 0 || usedDefault || !HeapEnsure((void **)line, capacity, (SIZE_T)length))
        return -1;
    length = WideCharToMultiByte(codePage, flags, path, -1, *line, length, NULL, usedDefaultFlag);
    return length > 0 && !usedDefault ? length - 1 : -1;
}

static const TRACKENTRY *FirstEntry() {
    return (const TRACKENTRY *)SendToPlayer(CM_GETTRACKENTRY, 0, 0);
}

static int EveryPathFitsAnsi() {
    char *line = NULL;
    SIZE_T capacity = 0;
    const TRACKENTRY *entry = FirstEntry();
    while (entry && entry->Path && Encode(entry->Path, CP_ACP, &line, &capacity) >= 0)
        entry = entry->Next;
    HeapRelease(line);
    return entry == NULL;
}

// Writes every entry into the open file; counts what cannot be written.
static void WriteEntries(OUTPUT_FILE *output, UINT codePage, SAVE_RESULT *result) {
    if (codePage == CP_UTF8)
        WriteOutput(output, "\xEF\xBB\xBF", 3);
    char *line = NULL;
    SIZE_T capacity = 0;
    LONG index = 0;
    for (const TRACKENTRY *entry = FirstEntry(); entry; entry = entry->Next, ++index) {
        int length = entry->Path ? Encode(entry->Path, codePage, &line, &capacity) : -1;
        if (length < 0) {
            if (result->Unmappable++ == 0)
                result->FirstUnmappable = index;
            continue;
        }
        if (result->Unmappable)
            continue; // nothing will be kept; only the count goes on
        WriteOutput(output, line, (DWORD)length);
        WriteOutput(output, "\r\n", 2);
        ++result->Written;
    }
    HeapRelease(line);
    FlushOutput(output);
}

// Gives 1 when the whole list is in the temporary file.
static int WriteTemporary(const WCHAR *temporary, SAVE_RESULT *result) {
    OUTPUT_FILE output = {};
    output.Buffer = (char *)HeapZeroAlloc(WRITE_BUFFER_SIZE);
    if (!output.Buffer)
        return 0;
    output.File =
        CreateFileW(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (output.File == INVALID_HANDLE_VALUE) {
        HeapRelease(output.Buffer);
        return 0;
    }
    result->Utf8 = !EveryPathFitsAnsi();
    WriteEntries(&output, result->Utf8 ? CP_UTF8 : CP_ACP, result);
    int complete = !output.Failed && FlushFileBuffers(output.File);
    CloseHandle(output.File);
    HeapRelease(output.Buffer);
    return complete && !result->Unmappable;
}

// Yes only when the user agrees to lose them; the default is No.
static int AgreeToDrop(LONG dropped) {
    WCHAR text[TEXT_SIZE], title[TEXT_SIZE];
    FormatText(text, IDS_ASK_DROP, (int)dropped);
    LoadText(IDS_TITLE, title, TEXT_SIZE);
    int answer = MessageBoxCall(Ui.Window, text, title, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    // The player may have been closed while the question was up.
    return answer == IDYES && !Module.Unloading;
}

// The complete new file goes in place of the old one. The backup is the
// file as this run found it: a later save would otherwise replace it with
// what the first one wrote, and lines kept only there would be lost.
static int ReplacePlaylistFile(const WCHAR *temporary, const WCHAR *playlist, const WCHAR *backup) {
    if (!Module.BackupTaken && GetFileAttributesW(playlist) != INVALID_FILE_ATTRIBUTES &&
        !CopyAsPlainFile(playlist, backup))
        return 0;
    if (!MoveFileExW(temporary, playlist, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    Module.BackupTaken = 1;
    return 1;
}

SAVE_RESULT SavePlaylistFile() {
    SAVE_RESULT result = {SAVE_FAILED, 0, 0, 0, 0, -1};
    WCHAR playlist[MAX_PATH], temporary[MAX_PATH], backup[MAX_PATH];
    if (!BuildModulePath(TQ_PLAYLIST_FILE, playlist) ||
        !BuildModulePath(L"tonquil.m3u.tmp", temporary) ||
        !BuildModulePath(L"tonquil.m3u.bak", backup))
        return result;
    // The user made it so, and may want to know before being asked anything.
    if (IsReadOnlyFile(playlist)) {
        result.Outcome = SAVE_READ_ONLY;
        return result;
    }
    // Compared with the list as it was written: the question below lets
    // the player change the list meanwhile.
    if (WriteTemporary(temporary, &result)) {
        result.Dropped = CountDroppedEntries(playlist);
        if (result.Dropped > 0 && !AgreeToDrop(result.Dropped))
            result.Outcome = SAVE_KEPT;
        else if (result.Dropped >= 0 && ReplacePlaylistFile(temporary, playlist, backup))
            result.Outcome = SAVE_DONE;
    } else if (result.Unmappable) {
        result.Outcome = SAVE_UNMAPPABLE;
    }
    if (result.Outcome == SAVE_DONE)
        ForgetRemovedByUser(); // the file no longer holds them
    else
        DeleteFileW(temporary);
    return result;
}

void SavePlaylistAndReport() {
    SAVE_RESULT result = SavePlaylistFile();
    if (Module.Unloading)
        return;
    WCHAR text[TEXT_SIZE], encoding[TEXT_SIZE];
    switch (result.Outcome) {
    case SAVE_DONE:
        LoadText(result.Utf8 ? IDS_ENCODING_UTF8 : IDS_ENCODING_ANSI, encoding, TEXT_SIZE);
        FormatText(text, IDS_SAVED, (int)result.Written, encoding);
        break;
    case SAVE_KEPT:
        FormatText(text, IDS_SAVE_KEPT, (int)result.Dropped);
        break;
    case SAVE_UNMAPPABLE: {
        const TRACKENTRY *entry = EntryAt(result.FirstUnmappable);
        WCHAR name[NAME_SIZE] = L"";
        if (entry && entry->Path)
            CopyShortName(entry->Path, name);
        FormatText(text, IDS_SAVE_UNMAPPABLE, (int)result.Unmappable,
                   (int)result.FirstUnmappable + 1, name);
        SyncPlaylistView();
        SelectRow(result.FirstUnmappable);
        break;
    }
    case SAVE_READ_ONLY:
        LoadText(IDS_SAVE_READ_ONLY, text, TEXT_SIZE);
        break;
    case SAVE_FAILED:
        LoadText(IDS_SAVE_FAILED, text, TEXT_SIZE);
        break;
    }
    ShowStatus(text);
}
