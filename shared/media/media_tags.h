// What a file's tags say, as FFmpeg's demuxers give them (ID3v2, APEv2,
// Vorbis comments, MP4's ilst with its freeform atoms, ASF attributes):
// artist and title, and ReplayGain.
#ifndef TONQUIL_MEDIA_MEDIA_TAGS_H
#define TONQUIL_MEDIA_MEDIA_TAGS_H

#include "tonquil_decoder_plugin.h"

#include <string>

struct AVFormatContext;

struct MediaTags {
    std::string Artist;
    std::string Title;
    bool HasArtist;
    bool HasTitle;
    DWORD GainFlags; // TQ_GAIN_ bits
    float TrackGain;
    float TrackPeak;
    float AlbumGain;
    float AlbumPeak;
};

// Reads the tags of the stream at index and of the whole file (the stream's
// first); leaves out every value that is missing or malformed. False only
// when memory runs out.
bool ReadMediaTags(const AVFormatContext *format, int index, MediaTags *tags);

#endif
