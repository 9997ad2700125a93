#include "media/media_kinds.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <string.h>

namespace {

// AAC in MP4 counts its own frames: after a seek, its timestamps are not
// those of decoding from the start. MP3 frames lean on up to 511 bytes of earlier frames and on the
// overlap of the one before; AAC, WMA and Vorbis on the block before; Opus wants 80 ms.
const MediaKind Kinds[] = {
    {"mp3", AV_CODEC_ID_MP1, MEDIA_ENGINE, false, true, false, 100},
    {"mp3", AV_CODEC_ID_MP2, MEDIA_ENGINE, false, true, false, 100},
    {"mp3", AV_CODEC_ID_MP3, MEDIA_ENGINE, false, true, false, 250},
    {"ogg", AV_CODEC_ID_VORBIS, MEDIA_ENGINE, true, true, false, 100},
    {"ogg", AV_CODEC_ID_OPUS, MEDIA_PLUGIN, true, true, false, 100},
    {"flac", AV_CODEC_ID_FLAC, MEDIA_PLUGIN, true, true, false, 0},
    {"tta", AV_CODEC_ID_TTA, MEDIA_PLUGIN, true, true, false, 0},
    {"ape", AV_CODEC_ID_APE, MEDIA_PLUGIN, true, true, false, 0},
    {"asf", AV_CODEC_ID_WMAV1, MEDIA_PLUGIN, false, false, false, 100},
    {"asf", AV_CODEC_ID_WMAV2, MEDIA_PLUGIN, false, false, false, 100},
    {"asf", AV_CODEC_ID_WMAPRO, MEDIA_PLUGIN, false, false, false, 100},
    {"asf", AV_CODEC_ID_WMALOSSLESS, MEDIA_PLUGIN, false, false, false, 100},
    {"mov,mp4,m4a,3gp,3g2,mj2", AV_CODEC_ID_AAC, MEDIA_PLUGIN, false, true, true, 100},
    {"mov,mp4,m4a,3gp,3g2,mj2", AV_CODEC_ID_ALAC, MEDIA_PLUGIN, true, true, true, 0},
    {"aac", AV_CODEC_ID_AAC, MEDIA_PLUGIN, false, true, false, 100},
};

} // namespace

const MediaKind *FindMediaKind(const char *demuxer, int codec) {
    for (const MediaKind &kind : Kinds)
        if (kind.Codec == codec && strcmp(kind.Demuxer, demuxer) == 0)
            return &kind;
    return NULL;
}
