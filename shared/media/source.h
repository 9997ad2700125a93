// The bytes a stream decodes: a window of a file or of the caller's memory,
// read at any offset through a TQSOURCE.
#ifndef TONQUIL_MEDIA_SOURCE_H
#define TONQUIL_MEDIA_SOURCE_H

#include "tonquil_decoder_plugin.h"

// Opens [offset, offset + length) of the file, or from offset to its end when
// length is 0. Fails when the file cannot be read or the window lies outside it.
bool OpenFileSource(const WCHAR *path, DWORD offset, DWORD length, TQSOURCE *source);
// Wraps length bytes at memory, which the caller keeps alive and unchanged.
bool OpenMemorySource(const void *memory, DWORD length, TQSOURCE *source);
void CloseSource(TQSOURCE *source);

// Reads exactly count bytes at offset; false when fewer are there.
bool ReadExactly(const TQSOURCE *source, DWORD offset, void *buffer, DWORD count);

#endif
