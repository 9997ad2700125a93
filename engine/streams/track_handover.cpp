#include "engine/streams/track_handover.h"

#include <utility>

namespace {

// A drained track of the same image, by the same decoder, that ended where
// this one starts.
bool TakeOver(Stream *stream, const TrackBounds &bounds, const std::wstring &image, ULONGLONG *at) {
    std::lock_guard<std::mutex> hold(EngineLock);
    for (Stream *other : Engine.Streams) {
        TQDECODER handed;
        if (!other->Bounds.Active || !other->Drained || other->Opener != stream->Opener ||
            other->Opener2 != stream->Opener2 ||
            lstrcmpiW(other->Image.c_str(), image.c_str()) != 0 ||
            !TakeImageDecoder(&other->Decoder, bounds.Start, &handed, at))
            continue;
        stream->Decoder.Close(stream->Decoder.State);
        stream->Decoder = handed;
        // The handed decoder reads through the other stream's source; the
        // other stream, should it play again, opens its image anew from this one.
        std::swap(stream->Source, other->Source);
        return true;
    }
    return false;
}

} // namespace

bool LimitTrackStream(Stream *stream, const TrackBounds &bounds, const std::wstring &image) {
    stream->Bounds = bounds;
    stream->Image = image;
    ULONGLONG at = 0;
    TakeOver(stream, bounds, image, &at);
    return LimitDecoder(&stream->Decoder, &stream->Bounds, at);
}
