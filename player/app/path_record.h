// The record by which a second start hands its paths to the running player
// in WM_COPYDATA. An older player does not know the record's tag and leaves
// the message to default processing.
//
// Layout: a PATH_RECORD_HEADER, then Count paths, each a DWORD with its
// length in characters followed by that many UTF-16 characters and a zero.
// Nothing may follow the last path.
#ifndef TONQUIL_PLAYER_APP_PATH_RECORD_H
#define TONQUIL_PLAYER_APP_PATH_RECORD_H

#include <windows.h>

// COPYDATASTRUCT.dwData of the record.
#define PATH_RECORD_TAG 0x5451504Cu // "TQPL"
#define PATH_RECORD_VERSION 1u
// The paths are only to be appended: the start had /add.
#define PATH_RECORD_ADD_ONLY 1u
// Limits a record must keep: a longer path is no Windows path, and more paths
// than this cannot come from one command line.
#define PATH_RECORD_LONGEST_PATH 32767u
#define PATH_RECORD_MOST_PATHS 65536u
#define PATH_RECORD_LARGEST_BYTES (16u * 1024u * 1024u)

struct PATH_RECORD_HEADER {
    DWORD Version;
    DWORD Flags;
    DWORD Count;
};

// 1 when size bytes at data are a whole record of this version within the
// limits, every length matching its text, no zero inside a path and one after
// each; else 0. Reads nothing beyond size.
int CheckPathRecord(const void *data, DWORD size);
// The first path of a checked record, and the one after a path of it.
const WCHAR *FirstRecordPath(const void *data);
const WCHAR *NextRecordPath(const WCHAR *path);

// Builds a record of the count zero-ended texts that follow one another
// from first; gives it from the process heap (HeapRelease it) with its size
// in *size, or NULL when they break the limits or the heap is exhausted.
void *BuildPathRecord(const WCHAR *first, DWORD count, DWORD flags, DWORD *size);

#endif
