#include "extension/playlist_save.h"

#include "extension/heap.h"
#include "extension/player_link.h"
#include "extension/playlist_view.h"
#include "extension/resource.h"
#include "extension/status_bar.h"
#include "extension/texts.h"

#ifndef WC_ERR_INVALID_CHARS
#define WC_ERR_INVALID_CHARS 0x80
#endif

#define WRITE_BUFFER_SIZE 65536

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

// The path in the ANSI code page into *line (without terminator); gives its
// length, or -1 when the code page cannot hold it exactly.
static int ConvertToAnsi(const WCHAR *path, char **line, SIZE_T *capacity) {
    // Under a UTF-8 code page every valid path fits, and the used-default
    // flag is not allowed; only broken surrogates fail there.
    int utf8 = GetACP() == CP_UTF8;
    DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL *usedDefaultFlag = utf8 ? NULL : &usedDefault;
    int length = WideCharToMultiByte(CP_ACP, flags, path, -1, NULL, 0, NULL, usedDefaultFlag);
    if (length <= 0 || usedDefault || !HeapEnsure((void **)line, capacity, (SIZE_T)length))
        return -1;
    length = WideCharToMultiByte(CP_ACP, flags, path, -1, *line, length, NULL, usedDefaultFlag);
    return length > 0 && !usedDefault ? length - 1 : -1;
}

// Writes every entry into the open file; counts what cannot be written.
static void WriteEntries(OUTPUT_FILE *output, SAVE_RESULT *result) {
    char *line = NULL;
    SIZE_T capacity = 0;
    LONG index = 0;
    const TRACKENTRY *entry = (const TRACKENTRY *)SendToPlayer(CM_GETTRACKENTRY, 0, 0);
    for (; entry; entry = entry->Next, ++index) {
        int length = entry->Path ? ConvertToAnsi(entry->Path, &line, &capacity) : -1;
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

// The complete new file goes in place of the old one, which becomes the backup.
static int ReplacePlaylistFile(const WCHAR *temporary, const WCHAR *playlist, const WCHAR *backup) {
    if (GetFileAttributesW(playlist) != INVALID_FILE_ATTRIBUTES &&
        !CopyFileW(playlist, backup, FALSE))
        return 0;
    return MoveFileExW(temporary, playlist, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

SAVE_RESULT SavePlaylistFile() {
    SAVE_RESULT result = {SAVE_FAILED, 0, 0, -1};
    WCHAR playlist[MAX_PATH], temporary[MAX_PATH], backup[MAX_PATH];
    if (!BuildPathBesideExe(L"tonquil.m3u", playlist) ||
        !BuildPathBesideExe(L"tonquil.m3u.tmp", temporary) ||
        !BuildPathBesideExe(L"tonquil.m3u.bak", backup))
        return result;
    OUTPUT_FILE output = {};
    output.Buffer = (char *)HeapZero(WRITE_BUFFER_SIZE);
    if (!output.Buffer)
        return result;
    output.File =
        CreateFileW(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (output.File == INVALID_HANDLE_VALUE) {
        HeapRelease(output.Buffer);
        return result;
    }
    WriteEntries(&output, &result);
    int complete = !output.Failed && FlushFileBuffers(output.File);
    CloseHandle(output.File);
    HeapRelease(output.Buffer);
    if (result.Unmappable)
        result.Outcome = SAVE_UNMAPPABLE;
    else if (complete && ReplacePlaylistFile(temporary, playlist, backup))
        result.Outcome = SAVE_DONE;
    if (result.Outcome != SAVE_DONE)
        DeleteFileW(temporary);
    return result;
}

void SavePlaylistAndReport() {
    SAVE_RESULT result = SavePlaylistFile();
    WCHAR text[TEXT_SIZE];
    switch (result.Outcome) {
    case SAVE_DONE:
        FormatText(text, IDS_SAVED, (int)result.Written);
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
    case SAVE_FAILED:
        LoadText(IDS_SAVE_FAILED, text, TEXT_SIZE);
        break;
    }
    ShowStatus(text);
}
