#include "engine/decoding/track_window.h"

#include "cue/cue_sheet.h"

#include <new>
#include <vector>

namespace {

#define DISCARD_FRAMES 4096

struct Window {
    TQDECODER Image; // Read is NULL once handed over
    ULONGLONG Start; // in the image's frames
    ULONGLONG End;   // 0 while the image's end is not known
    ULONGLONG Next;  // the image's frame Read gives next
    std::string Artist;
    std::string Title;
};

ULONGLONG ToFrames(DWORD cdFrames, DWORD rate) {
    return (ULONGLONG)cdFrames * rate / CUE_FRAMES_PER_SECOND;
}

// For an image that cannot seek: decoding up to the frame.
bool ReadUpTo(TQDECODER *image, ULONGLONG frame) {
    std::vector<float> scratch((size_t)DISCARD_FRAMES * image->Channels);
    for (ULONGLONG at = 0; at < frame;) {
        DWORD want = frame - at < DISCARD_FRAMES ? (DWORD)(frame - at) : DISCARD_FRAMES;
        DWORD got = image->Read(image->State, scratch.data(), want);
        if (got == 0 || got > want)
            return false;
        at += got;
    }
    return true;
}

bool MoveImage(TQDECODER *image, ULONGLONG from, ULONGLONG to) {
    if (from == to)
        return true;
    if (image->Seek && image->Seek(image->State, to))
        return true;
    return from == 0 && ReadUpTo(image, to);
}

DWORD CALLBACK WindowRead(void *state, float *frames, DWORD count) {
    Window *window = (Window *)state;
    if (!window->Image.Read)
        return 0;
    if (window->End) {
        if (window->Next >= window->End)
            return 0;
        if (window->End - window->Next < count)
            count = (DWORD)(window->End - window->Next);
    }
    DWORD got = window->Image.Read(window->Image.State, frames, count);
    if (got > count)
        return 0;
    window->Next += got;
    return got;
}

BOOL CALLBACK WindowSeek(void *state, ULONGLONG frame) {
    Window *window = (Window *)state;
    ULONGLONG target = window->Start + frame;
    if (!window->Image.Read || !window->Image.Seek || target < frame ||
        (window->End && target >= window->End) || !window->Image.Seek(window->Image.State, target))
        return FALSE;
    window->Next = target;
    return TRUE;
}

void CALLBACK WindowClose(void *state) {
    Window *window = (Window *)state;
    if (window->Image.Read)
        window->Image.Close(window->Image.State);
    delete window;
}

void TakeGains(TQDECODER *decoder, const TrackBounds *bounds) {
    if (decoder->GainFlags)
        return;
    decoder->GainFlags = bounds->GainFlags;
    decoder->TrackGain = bounds->TrackGain;
    decoder->TrackPeak = bounds->TrackPeak;
    decoder->AlbumGain = bounds->AlbumGain;
    decoder->AlbumPeak = bounds->AlbumPeak;
}

bool FillWindow(Window *window, const TrackBounds *bounds, ULONGLONG at) {
    TQDECODER *image = &window->Image;
    window->Start = ToFrames(bounds->Start, image->Rate);
    ULONGLONG length = image->Length;
    window->End = bounds->End == CUE_TO_FILE_END ? length : ToFrames(bounds->End, image->Rate);
    if (length && window->End > length)
        window->End = length;
    if ((length && window->Start >= length) || (window->End && window->End <= window->Start))
        return false;
    window->Next = window->Start;
    return MoveImage(image, at, window->Start);
}

} // namespace

bool LimitDecoder(TQDECODER *decoder, const TrackBounds *bounds, ULONGLONG at) {
    Window *window = new (std::nothrow) Window();
    if (window)
        window->Image = *decoder;
    if (!window || !FillWindow(window, bounds, at)) {
        delete window;
        decoder->Close(decoder->State);
        *decoder = TQDECODER();
        return false;
    }
    window->Artist = bounds->Artist;
    window->Title = bounds->Title;
    TQDECODER limited = *decoder;
    limited.State = window;
    limited.Read = WindowRead;
    limited.Seek = window->Image.Seek ? WindowSeek : NULL;
    limited.Close = WindowClose;
    limited.Artist = window->Artist.empty() ? NULL : window->Artist.c_str();
    limited.Title = window->Title.empty() ? NULL : window->Title.c_str();
    limited.Length = window->End ? window->End - window->Start : 0;
    TakeGains(&limited, bounds);
    *decoder = limited;
    return true;
}

bool TakeImageDecoder(TQDECODER *window, DWORD start, TQDECODER *image, ULONGLONG *at) {
    if (window->Read != WindowRead)
        return false;
    Window *state = (Window *)window->State;
    if (!state->Image.Read || !state->End || state->Next != state->End ||
        state->Next != ToFrames(start, state->Image.Rate))
        return false;
    *image = state->Image;
    *at = state->Next;
    state->Image = TQDECODER();
    return true;
}
