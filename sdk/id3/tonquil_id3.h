// Artist and title from the ID3 tag blocks of a stream, read exactly as the
// player reads them for its balloon: ID3v2.2, 2.3 and 2.4, and ID3v1 where
// ID3v2 gives no text.
//
// It stands in sdk/ rather than beside the player because an extension module
// that lists tracks should name them as the balloon does, and the window
// module is such a module: like the playlist reader, it is code any extension
// writer links as the static library tonquil_id3. It needs nothing but the
// process heap and MultiByteToWideChar.
//
// Every routine reads only the blocks it is given (fetching them with
// BASS_ChannelGetTags is the caller's), and never past the size an ID3v2
// block's header states nor past the 128 bytes of an ID3v1 block.
#ifndef TONQUIL_SDK_ID3_H
#define TONQUIL_SDK_ID3_H

#include <windows.h>

#define ID3V1_TITLE 3
#define ID3V1_ARTIST 33
#define ID3V1_FIELD_SIZE 30
#define ID3V1_TAG_SIZE 128

// Each gives a new text from the process heap (HeapFree on GetProcessHeap()),
// or NULL.
// Per text, the ID3v2 frame first; the ID3v1 field only when the frame is
// missing or empty, as ID3v1 holds 30 bytes in a single-byte code page.
// Either block may be NULL.
WCHAR *ParseTrackArtist(const BYTE *id3v1, const BYTE *id3v2);
WCHAR *ParseTrackTitle(const BYTE *id3v1, const BYTE *id3v2);

// The trimmed text of the 30-byte field at firstByte of a 128-byte ID3v1 tag,
// in the system's ANSI code page, or NULL when it is empty.
WCHAR *ParseId3v1Field(const BYTE *tag, int firstByte);
// The text (possibly empty) of the first readable frame of a whole ID3v2
// tag, named by its four-letter id ("TIT2"); in a version 2 tag its
// three-letter counterpart ("TT2") is looked for.
WCHAR *ParseId3v2Frame(const BYTE *tag, const char *frameId);

#endif
