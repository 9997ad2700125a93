#include "media/media_tags.h"

#include "media/no_throw.h"
#include "media/gain_text.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

namespace {

// Keys are matched without regard to case, as every tag format writes them
// in its own case; MP4's freeform atoms arrive under their plain names.
const char *TagText(const AVFormatContext *format, int index, const char *key) {
    const AVDictionaryEntry *entry = av_dict_get(format->streams[index]->metadata, key, NULL, 0);
    if (!entry)
        entry = av_dict_get(format->metadata, key, NULL, 0);
    return entry && entry->value[0] ? entry->value : NULL;
}

struct GainKey {
    const char *Key;
    bool (*Parse)(const char *text, float *value);
    DWORD Flag;
    float MediaTags::*Value;
};

// R128 gains come after ReplayGain's own keys, so a file with both keeps
// ReplayGain's.
const GainKey GainKeys[] = {
    {"REPLAYGAIN_TRACK_GAIN", ParseGainText, TQ_GAIN_TRACK, &MediaTags::TrackGain},
    {"REPLAYGAIN_TRACK_PEAK", ParsePeakText, TQ_PEAK_TRACK, &MediaTags::TrackPeak},
    {"REPLAYGAIN_ALBUM_GAIN", ParseGainText, TQ_GAIN_ALBUM, &MediaTags::AlbumGain},
    {"REPLAYGAIN_ALBUM_PEAK", ParsePeakText, TQ_PEAK_ALBUM, &MediaTags::AlbumPeak},
    {"R128_TRACK_GAIN", ParseR128GainText, TQ_GAIN_TRACK, &MediaTags::TrackGain},
    {"R128_ALBUM_GAIN", ParseR128GainText, TQ_GAIN_ALBUM, &MediaTags::AlbumGain},
};

void ReadGains(const AVFormatContext *format, int index, MediaTags *tags) {
    for (const GainKey &key : GainKeys) {
        float value;
        if (!(tags->GainFlags & key.Flag) && key.Parse(TagText(format, index, key.Key), &value)) {
            tags->*key.Value = value;
            tags->GainFlags |= key.Flag;
        }
    }
}

bool ReadName(const AVFormatContext *format, int index, const char *key, std::string *name,
              bool *has) {
    const char *text = TagText(format, index, key);
    *has = text != NULL;
    return !text || NoThrow(false, [&] {
        name->assign(text);
        return true;
    });
}

} // namespace

bool ReadMediaTags(const AVFormatContext *format, int index, MediaTags *tags) {
    tags->GainFlags = 0;
    tags->TrackGain = tags->TrackPeak = tags->AlbumGain = tags->AlbumPeak = 0;
    ReadGains(format, index, tags);
    return ReadName(format, index, "artist", &tags->Artist, &tags->HasArtist) &&
           ReadName(format, index, "title", &tags->Title, &tags->HasTitle);
}
