#include "cue/cue_reference.h"

#include "cue/cue_sheet.h"

int MakeCueReference(const WCHAR *path, int number, WCHAR *out) {
    int length = lstrlenW(path);
    if (number < 1 || number > CUE_MAX_TRACKS || length + 4 > MAX_PATH)
        return 0;
    lstrcpyW(out, path);
    WCHAR *at = out + length;
    *at++ = CUE_REFERENCE_MARK;
    if (number >= 10)
        *at++ = (WCHAR)(L'0' + number / 10);
    *at++ = (WCHAR)(L'0' + number % 10);
    *at = 0;
    return 1;
}

int SplitCueReference(const WCHAR *text, WCHAR *path, int *number) {
    if (!text)
        return 0;
    int length = lstrlenW(text);
    int mark = length - 1;
    while (mark >= 0 && text[mark] >= L'0' && text[mark] <= L'9')
        --mark;
    int digits = length - 1 - mark;
    if (mark < 1 || text[mark] != CUE_REFERENCE_MARK || digits < 1 || digits > 2 ||
        text[mark + 1] == L'0' || mark >= MAX_PATH)
        return 0;
    int value = 0;
    for (int i = mark + 1; i < length; ++i)
        value = value * 10 + (text[i] - L'0');
    lstrcpynW(path, text, mark + 1);
    *number = value;
    return 1;
}

int IsCueSheetPath(const WCHAR *path) {
    int length = path ? lstrlenW(path) : 0;
    return length > 4 && lstrcmpiW(path + length - 4, L".cue") == 0;
}
