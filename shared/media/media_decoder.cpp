#include "media/media_decoder.h"

#include "media/media_read.h"
#include "media/media_seek.h"
#include "media/media_stream.h"

namespace {

DWORD CALLBACK ReadMedia(void *state, float *frames, DWORD count) {
    return ReadMediaFrames((MediaStream *)state, frames, count);
}

BOOL CALLBACK SeekMedia(void *state, ULONGLONG frame) {
    return SeekMediaStream((MediaStream *)state, frame);
}

void CALLBACK CloseMedia(void *state) {
    CloseMediaStream((MediaStream *)state);
}

const char *NameOrNull(const std::string &name, bool has) {
    return has ? name.c_str() : NULL;
}

} // namespace

bool OpenMediaDecoder(const TQSOURCE *source, MediaSide side, TQDECODER *decoder) {
    MediaStream *stream = OpenMediaStream(source, side);
    if (!stream)
        return false;
    const MediaTags &tags = stream->Tags;
    TQDECODER opened = {};
    opened.Rate = (DWORD)stream->Rate;
    opened.Channels = (DWORD)stream->Channels;
    opened.State = stream;
    opened.Read = ReadMedia;
    opened.Close = CloseMedia;
    opened.Artist = NameOrNull(tags.Artist, tags.HasArtist);
    opened.Title = NameOrNull(tags.Title, tags.HasTitle);
    opened.Length = stream->Length;
    opened.Seek = SeekMedia;
    opened.GainFlags = tags.GainFlags;
    opened.TrackGain = tags.TrackGain;
    opened.TrackPeak = tags.TrackPeak;
    opened.AlbumGain = tags.AlbumGain;
    opened.AlbumPeak = tags.AlbumPeak;
    *decoder = opened;
    return true;
}
