#include "engine/streams/track_streams.h"

#include "cue/cue_embedded.h"
#include "cue/cue_files.h"
#include "cue/cue_reference.h"
#include "media/gain_text.h"
#include "media/source.h"
#include "engine/streams/streams.h"

#include <utility>

namespace {

std::string Utf8(const WCHAR *text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    std::string utf8(bytes > 0 ? (size_t)bytes : 1, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], bytes, NULL, NULL);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

void TakeGain(const char *text, bool peak, DWORD flag, float *value, DWORD *flags) {
    if (text[0] && (peak ? ParsePeakText(text, value) : ParseGainText(text, value)))
        *flags |= flag;
}

void FillBounds(const CUESHEET *sheet, const CUETRACK *track, TrackBounds *bounds) {
    bounds->Active = true;
    bounds->Start = track->Start;
    bounds->End = track->End;
    bounds->Artist = Utf8(track->Performer);
    if (track->Title[0]) {
        bounds->Title = Utf8(track->Title);
    } else {
        char title[16];
        wsprintfA(title, "Track %02d", track->Number);
        bounds->Title = title;
    }
    bounds->GainFlags = 0;
    TakeGain(track->Gain, false, TQ_GAIN_TRACK, &bounds->TrackGain, &bounds->GainFlags);
    TakeGain(track->Peak, true, TQ_PEAK_TRACK, &bounds->TrackPeak, &bounds->GainFlags);
    TakeGain(sheet->AlbumGain, false, TQ_GAIN_ALBUM, &bounds->AlbumGain, &bounds->GainFlags);
    TakeGain(sheet->AlbumPeak, true, TQ_PEAK_ALBUM, &bounds->AlbumPeak, &bounds->GainFlags);
}

bool ReadBounds(const WCHAR *sheetPath, int number, TrackBounds *bounds, std::wstring *image) {
    CUESHEET *sheet = (CUESHEET *)HeapAlloc(GetProcessHeap(), 0, sizeof(CUESHEET));
    if (!sheet)
        return false;
    WCHAR file[MAX_PATH];
    const CUETRACK *track = ReadCueSheetFile(sheetPath, sheet) ? FindCueTrack(sheet, number) : NULL;
    bool found = track && ResolveCueFile(sheetPath, sheet->Files[track->File], file);
    if (found) {
        FillBounds(sheet, track, bounds);
        *image = file;
    }
    HeapFree(GetProcessHeap(), 0, sheet);
    return found;
}

} // namespace

bool IsTrackReference(const std::wstring &path) {
    WCHAR sheet[MAX_PATH];
    int number;
    return SplitCueReference(path.c_str(), sheet, &number) != 0;
}

Stream *OpenTrackReference(const std::wstring &reference, DWORD flags,
                           const std::vector<Plugin> &plugins) {
    WCHAR sheetPath[MAX_PATH];
    int number;
    TrackBounds bounds;
    std::wstring image;
    if (!SplitCueReference(reference.c_str(), sheetPath, &number) ||
        !(IsCueSheetPath(sheetPath) || MayEmbedCueSheet(sheetPath)) ||
        !ReadBounds(sheetPath, number, &bounds, &image))
        return NULL;
    TQSOURCE source;
    if (!OpenFileSource(image.c_str(), 0, 0, &source))
        return NULL;
    return OpenStream(&source, flags, plugins, &bounds, image);
}
