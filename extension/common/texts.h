// The module's texts (its string table) and the names it shows for paths.
#ifndef TONQUIL_EXTENSION_TEXTS_H
#define TONQUIL_EXTENSION_TEXTS_H

#include <windows.h>
#include "tonquil_paths.h"

// Room for any formatted text: wvsprintfW writes at most 1024 characters.
#define TEXT_SIZE 1025
// Room for a file name inside a message.
#define NAME_SIZE 128

// One text of the string table into buffer, always terminated.
void LoadText(UINT id, WCHAR *buffer, int capacity);
// The text id filled in like wsprintfW, into a buffer of TEXT_SIZE.
void FormatText(WCHAR *buffer, UINT id, ...);

// The folder part of a path, without its last backslash, cut to capacity.
void CopyPathFolder(const WCHAR *path, WCHAR *buffer, int capacity);
// What a row calls an entry until its tags are read: the file's name, or for
// a track of a cue sheet "Track NN" (the sheet is not read on the window's
// thread).
void CopyEntryName(const WCHAR *path, WCHAR *buffer, int capacity);
// The name of a path cut to NAME_SIZE, for messages.
void CopyShortName(const WCHAR *path, WCHAR *buffer);

// Room for a time of FormatClock.
#define CLOCK_SIZE 24
// A time in milliseconds as "m:ss", or "h:mm:ss" from an hour on. Seconds
// are cut, not rounded, so a time shown never passes the length shown.
void FormatClock(LONG ms, WCHAR *text);

#endif
