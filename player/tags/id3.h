// Artist and title from the ID3 tag blocks of a stream, for the balloon and
// the window module's list. Every routine reads only the blocks it is given;
// fetching them is the caller's. It needs nothing of the player but the
// process heap, so the module links it as it is.
#ifndef TONQUIL_PLAYER_TAGS_ID3_H
#define TONQUIL_PLAYER_TAGS_ID3_H

#include <windows.h>

#define ID3V1_TITLE 3
#define ID3V1_ARTIST 33
#define ID3V1_FIELD_SIZE 30
#define ID3V1_TAG_SIZE 128

// Each gives a new text from the process heap (HeapFree on GetProcessHeap(),
// as HeapRelease does), or NULL.
// The ID3v1 tag (128 bytes) is asked first, the whole ID3v2 tag when it gives
// nothing; either block may be NULL.
WCHAR *ParseTrackArtist(const BYTE *id3v1, const BYTE *id3v2);
WCHAR *ParseTrackTitle(const BYTE *id3v1, const BYTE *id3v2);

// The trimmed text of the 30-byte field at firstByte of a 128-byte ID3v1 tag,
// or NULL when it is empty.
WCHAR *ParseId3v1Field(const BYTE *tag, int firstByte);
// The text of a frame of a whole ID3v2 tag; its header's size bounds the read.
WCHAR *ParseId3v2Frame(const BYTE *tag, const char *frameId);
WCHAR *FindId3v2Frame(const BYTE *area, LONG length, const char *frameId);

#endif
