// Artist and title from the ID3 tags of a stream, for the balloon.
// The byte-level routines read only the block they are given.
#ifndef TONQUIL_TAGS_ID3_H
#define TONQUIL_TAGS_ID3_H

#include <windows.h>

#define ID3V1_TITLE 3
#define ID3V1_ARTIST 33
#define ID3V1_FIELD_SIZE 30
#define ID3V1_TAG_SIZE 128

// Each gives a new text from the process heap (free with HeapRelease), or NULL.
WCHAR *ReadTrackArtist(DWORD stream);
WCHAR *ReadTrackTitle(DWORD stream);
WCHAR *ReadId3v1Field(DWORD stream, int firstByte);
WCHAR *ReadId3v2Frame(DWORD stream, const char *frameId);

// The trimmed text of the 30-byte field at firstByte of a 128-byte ID3v1 tag,
// or NULL when it is empty.
WCHAR *ParseId3v1Field(const BYTE *tag, int firstByte);
// The text of a frame of a whole ID3v2 tag; its header's size bounds the read.
WCHAR *ParseId3v2Frame(const BYTE *tag, const char *frameId);
WCHAR *FindId3v2Frame(const BYTE *area, LONG length, const char *frameId);

#endif
