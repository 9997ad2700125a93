/*
 * Reading tonquil.m3u as the player reads it, for the player itself and for
 * any module that compares the list with the file.
 *
 * The byte-order mark says the encoding: EF BB BF is UTF-8, FF FE UTF-16
 * little-endian, FE FF UTF-16 big-endian. A file without one is in the
 * system's ANSI code page, which ends at its first zero byte. A line ends at
 * a line feed, and a carriage return right before it is dropped. In a file
 * with a mark, a line that does not decode (invalid UTF-8, a broken
 * surrogate pair, a cut last unit) or that holds a zero is read as an empty
 * line: only that line is lost.
 */
#ifndef TONQUIL_PLAYLIST_FILE_H
#define TONQUIL_PLAYLIST_FILE_H

#include <windows.h>

/* Files larger than this are not playlists and are not read. */
#define TONQUIL_LARGEST_PLAYLIST_BYTES (64u * 1024u * 1024u)

/* The line ReadPlaylistTextMarked gives for a line it could not read: a lone
 * low surrogate, which no decoded line holds. */
#define TONQUIL_DAMAGED_LINE 0xDC00

/* The file's text in UTF-16, from the process heap (free it with HeapFree
 * on GetProcessHeap()), or NULL when it cannot be read. Others may hold the
 * file open meanwhile, for reading, writing or deleting. */
WCHAR *ReadPlaylistText(const WCHAR *path);

/* As ReadPlaylistText for a file that is UTF-8 without a mark as well
 * (.m3u8); a file with a mark follows its mark. */
WCHAR *ReadUtf8PlaylistText(const WCHAR *path);

/* As ReadPlaylistText, but for a comparison that must see every line: a line
 * that cannot be read is the single character TONQUIL_DAMAGED_LINE, and an
 * ANSI file goes on past its zero byte, the line that holds it being such a
 * line. */
WCHAR *ReadPlaylistTextMarked(const WCHAR *path);

/* The next line of a text from ReadPlaylistText, ended in place, and moves
 * *cursor past it; NULL when the text is used up. A text that ends with a
 * line end has an empty last line. */
WCHAR *TakePlaylistLine(WCHAR **cursor);

#endif
