// A cue sheet as rippers write it, from its bytes: whatever they hold, the
// tracks kept are in bounds of the records, name files the sheet has and keep
// their order within a file; every text stays within its field.
#include "cue/cue_sheet.h"

#include <stdint.h>
#include <stdlib.h>

static void CheckText(const WCHAR *text, int size) {
    int length = 0;
    while (length < size && text[length])
        ++length;
    if (length == size)
        abort();
}

static void CheckSheet(const CUESHEET *sheet, int tracks) {
    if (tracks != sheet->TrackCount || tracks < 0 || tracks > CUE_MAX_TRACKS ||
        sheet->FileCount < 0 || sheet->FileCount > CUE_MAX_FILES)
        abort();
    CheckText(sheet->Title, CUE_TEXT_SIZE);
    CheckText(sheet->Performer, CUE_TEXT_SIZE);
    for (int i = 0; i < sheet->FileCount; ++i)
        CheckText(sheet->Files[i], MAX_PATH);
    for (int i = 0; i < tracks; ++i) {
        const CUETRACK *track = &sheet->Tracks[i];
        if (track->File < 0 || track->File >= sheet->FileCount || track->Start > CUE_LARGEST_OFFSET)
            abort();
        if (track->End != CUE_TO_FILE_END && track->End <= track->Start)
            abort();
        if (i > 0 && sheet->Tracks[i - 1].File == track->File &&
            sheet->Tracks[i - 1].Start >= track->Start)
            abort();
        CheckText(track->Title, CUE_TEXT_SIZE);
        CheckText(track->Performer, CUE_TEXT_SIZE);
        if (FindCueTrack(sheet, track->Number) == NULL)
            abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > CUE_LARGEST_SHEET_BYTES + 16)
        return 0;
    CUESHEET *sheet = (CUESHEET *)malloc(sizeof(CUESHEET));
    if (!sheet)
        return 0;
    int tracks = ParseCueSheet(data, (DWORD)size, CP_ACP, sheet);
    if (tracks)
        CheckSheet(sheet, tracks);
    free(sheet);
    return 0;
}
