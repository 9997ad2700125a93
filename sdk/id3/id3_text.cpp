#include "id3_text.h"

#define ENCODING_ANSI 0
#define ENCODING_UTF16 1
#define ENCODING_UTF16BE 2
#define ENCODING_UTF8 3

static int CountUntilZero(const BYTE *bytes, int limit) {
    int count = 0;
    while (count < limit && bytes[count])
        ++count;
    return count;
}

WCHAR *TextUntilZero(UINT codePage, const BYTE *bytes, int count) {
    count = CountUntilZero(bytes, count);
    int length =
        count > 0 ? MultiByteToWideChar(codePage, 0, (const char *)bytes, count, NULL, 0) : 0;
    WCHAR *text = (WCHAR *)HeapZeroAlloc(((SIZE_T)length + 1) * sizeof(WCHAR));
    if (text && length > 0)
        MultiByteToWideChar(codePage, 0, (const char *)bytes, count, text, length);
    return text;
}

// An odd last byte is a unit of its own with a zero high byte, whatever the
// byte order: a frame cut in the middle of a unit still shows what it holds.
static WCHAR UnitAt(const BYTE *bytes, int count, int index, int bigEndian) {
    int at = index * 2;
    if (at + 1 >= count)
        return bytes[at];
    return bigEndian ? (WCHAR)(bytes[at] << 8 | bytes[at + 1])
                     : (WCHAR)(bytes[at] | bytes[at + 1] << 8);
}

// Up to the first zero unit. Encoding 1 takes its order from the byte-order
// mark, little-endian without one, as Windows taggers write it.
static WCHAR *Utf16Text(BYTE encoding, const BYTE *bytes, int count) {
    int bigEndian = encoding == ENCODING_UTF16BE;
    if (encoding == ENCODING_UTF16 && count >= 2 &&
        ((bytes[0] == 0xFE && bytes[1] == 0xFF) || (bytes[0] == 0xFF && bytes[1] == 0xFE))) {
        bigEndian = bytes[0] == 0xFE;
        bytes += 2;
        count -= 2;
    }
    int units = 0;
    while (units * 2 < count && UnitAt(bytes, count, units, bigEndian) != 0)
        ++units;
    WCHAR *text = (WCHAR *)HeapZeroAlloc(((SIZE_T)units + 1) * sizeof(WCHAR));
    for (int i = 0; text && i < units; ++i)
        text[i] = UnitAt(bytes, count, i, bigEndian);
    return text;
}

WCHAR *EncodedText(BYTE encoding, const BYTE *bytes, int count) {
    switch (encoding) {
    case ENCODING_ANSI:
        return TextUntilZero(CP_ACP, bytes, count);
    case ENCODING_UTF8:
        return TextUntilZero(CP_UTF8, bytes, count);
    case ENCODING_UTF16:
    case ENCODING_UTF16BE:
        return Utf16Text(encoding, bytes, count);
    default:
        return NULL;
    }
}

static int IsBlank(WCHAR c) {
    return c == L' ' || c == L'\t';
}

WCHAR *TrimBlanks(WCHAR *text) {
    if (!text)
        return NULL;
    int start = 0, end = lstrlenW(text);
    while (start < end && IsBlank(text[start]))
        ++start;
    while (end > start && IsBlank(text[end - 1]))
        --end;
    if (end == start) {
        HeapRelease(text);
        return NULL;
    }
    MoveMemory(text, text + start, (SIZE_T)(end - start) * sizeof(WCHAR));
    text[end - start] = 0;
    return text;
}
