#include "cue/cue_sheet.h"

#include "tonquil_heap.h"

namespace {

WCHAR *AllocateText(DWORD characters) {
    return (WCHAR *)HeapZeroAlloc(((SIZE_T)characters + 1) * sizeof(WCHAR));
}

bool HoldsZero(const WCHAR *text, DWORD length) {
    for (DWORD i = 0; i < length; ++i)
        if (text[i] == 0)
            return true;
    return false;
}

// UTF-16 needs no checking of its pairs here: a broken pair only spoils a
// name, and every name is checked again when it becomes a path.
WCHAR *DecodeUtf16(const BYTE *bytes, DWORD size, bool bigEndian) {
    DWORD length = size / 2;
    WCHAR *text = AllocateText(length);
    if (!text)
        return NULL;
    for (DWORD i = 0; i < length; ++i) {
        BYTE first = bytes[2 * i], second = bytes[2 * i + 1];
        text[i] = bigEndian ? (WCHAR)(first << 8 | second) : (WCHAR)(second << 8 | first);
    }
    if (HoldsZero(text, length)) {
        HeapRelease(text);
        return NULL;
    }
    return text;
}

// NULL when the bytes are not valid text of the code page.
WCHAR *DecodeMultiByte(const BYTE *bytes, DWORD size, UINT codePage) {
    if (size == 0)
        return AllocateText(0);
    if (size > CUE_LARGEST_SHEET_BYTES)
        return NULL;
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, (const char *)bytes, (int)size,
                                     NULL, 0);
    if (length <= 0)
        return NULL;
    WCHAR *text = AllocateText((DWORD)length);
    if (!text)
        return NULL;
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, (const char *)bytes, (int)size, text,
                            length) != length ||
        HoldsZero(text, (DWORD)length)) {
        HeapRelease(text);
        return NULL;
    }
    return text;
}

} // namespace

WCHAR *DecodeCueText(const BYTE *bytes, DWORD size, UINT codePage) {
    if (!bytes || size > CUE_LARGEST_SHEET_BYTES)
        return NULL;
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return DecodeMultiByte(bytes + 3, size - 3, CP_UTF8);
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return DecodeUtf16(bytes + 2, size - 2, false);
    if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return DecodeUtf16(bytes + 2, size - 2, true);
    WCHAR *text = DecodeMultiByte(bytes, size, CP_UTF8);
    return text ? text : DecodeMultiByte(bytes, size, codePage);
}

int ParseCueSheet(const BYTE *bytes, DWORD size, UINT codePage, CUESHEET *sheet) {
    WCHAR *text = DecodeCueText(bytes, size, codePage);
    if (!text) {
        ZeroMemory(sheet, sizeof *sheet);
        return 0;
    }
    int tracks = ParseCueText(text, sheet);
    HeapRelease(text);
    return tracks;
}
