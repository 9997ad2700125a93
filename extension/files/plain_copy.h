// The files the module replaces (the playlist, the settings) and their
// copies (the playlist's backup, the settings' working copy). CopyFileW
// carries the source's attributes over, and a read-only copy could never be
// replaced again: copies are plain files.
#ifndef TONQUIL_EXTENSION_PLAIN_COPY_H
#define TONQUIL_EXTENSION_PLAIN_COPY_H

#include <windows.h>

// Replaces to with from's content, as a plain file; 0 when it cannot.
int CopyAsPlainFile(const WCHAR *from, const WCHAR *to);
// The user made it read-only: the module leaves it as it is. Windows would
// refuse to replace it anyway; Wine run as root would not.
int IsReadOnlyFile(const WCHAR *path);

#endif
