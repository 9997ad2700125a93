#include "extension/files/plain_copy.h"

int CopyAsPlainFile(const WCHAR *from, const WCHAR *to) {
    // A read-only or hidden copy left by an earlier version refuses to be
    // overwritten.
    if (GetFileAttributesW(to) != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(to, FILE_ATTRIBUTE_NORMAL);
    if (!CopyFileW(from, to, FALSE))
        return 0;
    if (SetFileAttributesW(to, FILE_ATTRIBUTE_NORMAL))
        return 1;
    DeleteFileW(to);
    return 0;
}

int IsReadOnlyFile(const WCHAR *path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}
