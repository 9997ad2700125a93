#include "cue/cue_sheet.h"

namespace {

// A track as its lines come: kept once the next TRACK or FILE line or the end
// shows it whole.
struct PENDINGTRACK {
    bool Open;     // a TRACK line of an audio track in a known file
    bool HasStart; // its INDEX 01 was read
    CUETRACK Track;
};

struct PARSER {
    CUESHEET *Sheet;
    int File; // the FILE the tracks belong to; -1 before any or after a bad one
    PENDINGTRACK Pending;
};

bool IsSpace(WCHAR c) {
    return c == L' ' || c == L'\t';
}

bool IsDigit(WCHAR c) {
    return c >= L'0' && c <= L'9';
}

const WCHAR *SkipSpaces(const WCHAR *at, const WCHAR *end) {
    while (at < end && IsSpace(*at))
        ++at;
    return at;
}

const WCHAR *TrimEnd(const WCHAR *from, const WCHAR *end) {
    while (end > from && IsSpace(end[-1]))
        --end;
    return end;
}

// The word at *at (up to a space), moving *at past it and the spaces after.
bool TakeWord(const WCHAR **at, const WCHAR *end, const WCHAR **word, const WCHAR **wordEnd) {
    *word = *at;
    while (*at < end && !IsSpace(**at))
        ++*at;
    *wordEnd = *at;
    *at = SkipSpaces(*at, end);
    return *wordEnd > *word;
}

bool WordIs(const WCHAR *word, const WCHAR *wordEnd, const char *keyword) {
    for (; word < wordEnd; ++word, ++keyword) {
        WCHAR c = *word >= L'a' && *word <= L'z' ? (WCHAR)(*word - 32) : *word;
        if (!*keyword || c != (WCHAR)*keyword)
            return false;
    }
    return *keyword == 0;
}

// A value as rippers write it: between quotes (a missing closing quote ends
// it at the line's end), or the rest of the line without its outer spaces.
// With dropLastWord, an unquoted value loses its last word (FILE's type).
void TakeValue(const WCHAR *at, const WCHAR *end, bool dropLastWord, const WCHAR **value,
               const WCHAR **valueEnd) {
    at = SkipSpaces(at, end);
    end = TrimEnd(at, end);
    if (at < end && *at == L'"') {
        *value = ++at;
        while (at < end && *at != L'"')
            ++at;
        *valueEnd = at;
        return;
    }
    *value = at;
    if (dropLastWord) {
        const WCHAR *cut = end;
        while (cut > at && !IsSpace(cut[-1]))
            --cut;
        if (cut > at)
            end = TrimEnd(at, cut);
    }
    *valueEnd = end;
}

// Copies what fits; false when the value had to be cut.
bool CopyText(const WCHAR *value, const WCHAR *valueEnd, WCHAR *out, int size) {
    int length = (int)(valueEnd - value);
    bool fits = length < size;
    if (!fits)
        length = size - 1;
    CopyMemory(out, value, (SIZE_T)length * sizeof(WCHAR));
    out[length] = 0;
    return fits;
}

void CopyAscii(const WCHAR *value, const WCHAR *valueEnd, char *out, int size) {
    int length = 0;
    for (; value < valueEnd && length < size - 1; ++value)
        out[length++] = *value < 0x80 ? (char)*value : '?';
    out[length] = 0;
}

// A whole number of at most digits digits.
bool ReadNumber(const WCHAR **at, const WCHAR *end, int digits, DWORD *number) {
    DWORD value = 0;
    int count = 0;
    for (; *at < end && IsDigit(**at); ++*at, ++count) {
        if (count == digits)
            return false;
        value = value * 10 + (DWORD)(**at - L'0');
    }
    *number = value;
    return count > 0;
}

// MM:SS:FF, in CD frames.
bool ReadTime(const WCHAR *at, const WCHAR *end, DWORD *frames) {
    DWORD minutes, seconds, frame;
    if (!ReadNumber(&at, end, 4, &minutes) || at == end || *at++ != L':' ||
        !ReadNumber(&at, end, 2, &seconds) || at == end || *at++ != L':' ||
        !ReadNumber(&at, end, 2, &frame) || at != end || seconds >= 60 ||
        frame >= CUE_FRAMES_PER_SECOND)
        return false;
    *frames = (minutes * 60 + seconds) * CUE_FRAMES_PER_SECOND + frame;
    return true;
}

// Kept when it starts after the track before it in the same file and its
// number follows the one before: a later index or a repeated number cannot
// name a place in the file.
void KeepPending(PARSER *parser) {
    PENDINGTRACK *pending = &parser->Pending;
    CUESHEET *sheet = parser->Sheet;
    if (!pending->Open || !pending->HasStart || sheet->TrackCount == CUE_MAX_TRACKS) {
        pending->Open = false;
        return;
    }
    pending->Open = false;
    if (sheet->TrackCount > 0) {
        const CUETRACK *last = &sheet->Tracks[sheet->TrackCount - 1];
        if (pending->Track.Number <= last->Number ||
            (last->File == pending->Track.File && pending->Track.Start <= last->Start))
            return;
    }
    sheet->Tracks[sheet->TrackCount++] = pending->Track;
}

void OnFile(PARSER *parser, const WCHAR *at, const WCHAR *end) {
    KeepPending(parser);
    parser->File = -1;
    CUESHEET *sheet = parser->Sheet;
    const WCHAR *value, *valueEnd;
    TakeValue(at, end, true, &value, &valueEnd);
    if (valueEnd == value || sheet->FileCount == CUE_MAX_FILES ||
        !CopyText(value, valueEnd, sheet->Files[sheet->FileCount], MAX_PATH))
        return;
    parser->File = sheet->FileCount++;
}

void OnTrack(PARSER *parser, const WCHAR *at, const WCHAR *end) {
    KeepPending(parser);
    DWORD number;
    const WCHAR *type, *typeEnd;
    if (parser->File < 0 || !ReadNumber(&at, end, 2, &number) || number == 0 || at == end ||
        !IsSpace(*at))
        return;
    at = SkipSpaces(at, end);
    if (!TakeWord(&at, end, &type, &typeEnd) || !WordIs(type, typeEnd, "AUDIO"))
        return;
    PENDINGTRACK *pending = &parser->Pending;
    ZeroMemory(pending, sizeof *pending);
    pending->Open = true;
    pending->Track.Number = (int)number;
    pending->Track.File = parser->File;
}

void OnIndex(PARSER *parser, const WCHAR *at, const WCHAR *end) {
    DWORD number, frames;
    const WCHAR *time, *timeEnd;
    if (!parser->Pending.Open || !ReadNumber(&at, end, 2, &number) || number != 1)
        return;
    at = SkipSpaces(at, end);
    if (!TakeWord(&at, end, &time, &timeEnd) || !ReadTime(time, timeEnd, &frames))
        return;
    parser->Pending.HasStart = true;
    parser->Pending.Track.Start = frames;
}

void OnName(PARSER *parser, const WCHAR *at, const WCHAR *end, bool title) {
    const WCHAR *value, *valueEnd;
    TakeValue(at, end, false, &value, &valueEnd);
    CUETRACK *track = parser->Pending.Open ? &parser->Pending.Track : NULL;
    WCHAR *out = track ? (title ? track->Title : track->Performer)
                       : (title ? parser->Sheet->Title : parser->Sheet->Performer);
    CopyText(value, valueEnd, out, CUE_TEXT_SIZE);
}

void OnRemark(PARSER *parser, const WCHAR *at, const WCHAR *end) {
    const WCHAR *word, *wordEnd, *value, *valueEnd;
    if (!TakeWord(&at, end, &word, &wordEnd))
        return;
    TakeValue(at, end, false, &value, &valueEnd);
    CUESHEET *sheet = parser->Sheet;
    CUETRACK *track = parser->Pending.Open ? &parser->Pending.Track : NULL;
    char *out = WordIs(word, wordEnd, "REPLAYGAIN_ALBUM_GAIN")   ? sheet->AlbumGain
                : WordIs(word, wordEnd, "REPLAYGAIN_ALBUM_PEAK") ? sheet->AlbumPeak
                : !track                                         ? NULL
                : WordIs(word, wordEnd, "REPLAYGAIN_TRACK_GAIN") ? track->Gain
                : WordIs(word, wordEnd, "REPLAYGAIN_TRACK_PEAK") ? track->Peak
                                                                 : NULL;
    if (out)
        CopyAscii(value, valueEnd, out, CUE_GAIN_TEXT_SIZE);
}

void ParseLine(PARSER *parser, const WCHAR *at, const WCHAR *end) {
    const WCHAR *word, *wordEnd;
    at = SkipSpaces(at, end);
    if (!TakeWord(&at, end, &word, &wordEnd))
        return;
    if (WordIs(word, wordEnd, "FILE"))
        OnFile(parser, at, end);
    else if (WordIs(word, wordEnd, "TRACK"))
        OnTrack(parser, at, end);
    else if (WordIs(word, wordEnd, "INDEX"))
        OnIndex(parser, at, end);
    else if (WordIs(word, wordEnd, "TITLE"))
        OnName(parser, at, end, true);
    else if (WordIs(word, wordEnd, "PERFORMER"))
        OnName(parser, at, end, false);
    else if (WordIs(word, wordEnd, "REM"))
        OnRemark(parser, at, end);
}

// Each track ends where the next one of its file starts, and takes the
// sheet's performer when it names none.
void FinishTracks(CUESHEET *sheet) {
    for (int i = 0; i < sheet->TrackCount; ++i) {
        CUETRACK *track = &sheet->Tracks[i];
        const CUETRACK *next = i + 1 < sheet->TrackCount ? &sheet->Tracks[i + 1] : NULL;
        track->End = next && next->File == track->File ? next->Start : CUE_TO_FILE_END;
        if (!track->Performer[0])
            lstrcpynW(track->Performer, sheet->Performer, CUE_TEXT_SIZE);
    }
}

} // namespace

int ParseCueText(const WCHAR *text, CUESHEET *sheet) {
    ZeroMemory(sheet, sizeof *sheet);
    if (!text)
        return 0;
    PARSER parser = {sheet, -1, {}};
    const WCHAR *line = text;
    while (*line) {
        const WCHAR *end = line;
        while (*end && *end != L'\n')
            ++end;
        const WCHAR *cut = end > line && end[-1] == L'\r' ? end - 1 : end;
        ParseLine(&parser, line, cut);
        line = *end ? end + 1 : end;
    }
    KeepPending(&parser);
    FinishTracks(sheet);
    return sheet->TrackCount;
}

const CUETRACK *FindCueTrack(const CUESHEET *sheet, int number) {
    for (int i = 0; i < sheet->TrackCount; ++i)
        if (sheet->Tracks[i].Number == number)
            return &sheet->Tracks[i];
    return NULL;
}
