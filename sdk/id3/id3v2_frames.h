// The frames of an ID3v2 tag: their headers in each version, the reading of
// their sizes, their flags, and the walk to the wanted one.
#ifndef TONQUIL_SDK_ID3V2_FRAMES_H
#define TONQUIL_SDK_ID3V2_FRAMES_H

#include <windows.h>

// The frames' bytes, after the tag's header and extended header; for
// versions 2 and 3 already freed of unsynchronisation.
struct FRAMEAREA {
    const BYTE *Bytes;
    LONG Length;
    BYTE Version;  // 2, 3, or 4 for version 4 and later
    BYTE TagFlags; // in version 4, 0x80 marks every frame unsynchronised
};

// The text of the first frame named frameId (of the version's id length)
// whose data can be read, or NULL.
WCHAR *FindFrameText(const FRAMEAREA *area, const char *frameId);

// A copy of the bytes without the zero byte that follows each FF byte, and
// its length; NULL when the heap is exhausted.
BYTE *RemoveUnsynchronisation(const BYTE *bytes, LONG length, LONG *copyLength);

#endif
