#include "tonquil_id3.h"

#include "id3_text.h"

WCHAR *ParseId3v1Field(const BYTE *tag, int firstByte) {
    if (!tag || firstByte < 0 || firstByte + ID3V1_FIELD_SIZE > ID3V1_TAG_SIZE)
        return NULL;
    return TrimBlanks(TextUntilZero(CP_ACP, tag + firstByte, ID3V1_FIELD_SIZE));
}
