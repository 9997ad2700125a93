#include "tonquil_id3.h"

#include "id3_text.h"

// An empty frame counts as none: the cut ID3v1 copy is still better than no
// title at all.
static WCHAR *FirstText(const BYTE *id3v1, int field, const BYTE *id3v2, const char *frameId) {
    WCHAR *text = ParseId3v2Frame(id3v2, frameId);
    if (text && text[0])
        return text;
    HeapRelease(text);
    return ParseId3v1Field(id3v1, field);
}

WCHAR *ParseTrackArtist(const BYTE *id3v1, const BYTE *id3v2) {
    return FirstText(id3v1, ID3V1_ARTIST, id3v2, "TPE1");
}

WCHAR *ParseTrackTitle(const BYTE *id3v1, const BYTE *id3v2) {
    return FirstText(id3v1, ID3V1_TITLE, id3v2, "TIT2");
}
