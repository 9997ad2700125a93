/*
 * Reading tonquil.m3u as the player reads it, for the player itself and for
 * any module that compares the list with the file.
 *
 * A file that begins with the UTF-8 byte-order mark (EF BB BF) is UTF-8;
 * every other file is in the system's ANSI code page, which ends at its
 * first zero byte. In a UTF-8 file a line with invalid UTF-8 or a zero byte
 * in it is read as an empty line: only that line is lost. A line ends at a
 * line feed, and a carriage return right before it is dropped.
 */
#ifndef TONQUIL_PLAYLIST_FILE_H
#define TONQUIL_PLAYLIST_FILE_H

#include <windows.h>

/* Files larger than this are not playlists and are not read. */
#define TONQUIL_LARGEST_PLAYLIST_BYTES (64u * 1024u * 1024u)

/* The file's text in UTF-16, from the process heap (free it with HeapFree
 * on GetProcessHeap()), or NULL when it cannot be read. Others may hold the
 * file open meanwhile, for reading, writing or deleting. */
WCHAR *ReadPlaylistText(const WCHAR *path);

/* The next line of a text from ReadPlaylistText, ended in place, and moves
 * *cursor past it; NULL when the text is used up. A text that ends with a
 * line end has an empty last line. */
WCHAR *TakePlaylistLine(WCHAR **cursor);

#endif
