#include "media/media_kinds.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <string.h>

namespace {

// AAC in MP4 counts its own frames: after a seek, its timestamps are not
// those of decoding from the start. MP3 frames lean on up to 511 bytes of earlier frames and on the
// overlap of the one before; AAC, WMA and Vorbis on the block before; Opus wants 80 ms.
// WAV reaches FFmpeg only when the engine's own reader refuses it: RF64 and
// BW64, A-law, mu-law and 64-bit floats.
// TAK's raw stream gets its timestamps from the parser, not the container.
// Each kind names the format whose demuxer reads it: MPEG audio's layers by
// their own extensions, FLAC by .flac, MP4 by .m4a.
const MediaKind Kinds[] = {
    {L".mp1", AV_CODEC_ID_MP1, false, true, false, 100},
    {L".mp2", AV_CODEC_ID_MP2, false, true, false, 100},
    {L".mp3", AV_CODEC_ID_MP3, false, true, false, 250},
    {L".ogg", AV_CODEC_ID_VORBIS, true, true, false, 100},
    {L".wav", AV_CODEC_ID_PCM_U8, true, true, false, 0},
    {L".wav", AV_CODEC_ID_PCM_S16LE, true, true, false, 0},
    {L".wav", AV_CODEC_ID_PCM_S24LE, true, true, false, 0},
    {L".wav", AV_CODEC_ID_PCM_S32LE, true, true, false, 0},
    {L".wav", AV_CODEC_ID_PCM_F32LE, true, true, false, 0},
    {L".wav", AV_CODEC_ID_PCM_F64LE, true, true, false, 0},
    {L".wav", AV_CODEC_ID_PCM_ALAW, true, true, false, 0},
    {L".wav", AV_CODEC_ID_PCM_MULAW, true, true, false, 0},
    {L".opus", AV_CODEC_ID_OPUS, true, true, false, 100},
    {L".flac", AV_CODEC_ID_FLAC, true, true, false, 0},
    {L".tta", AV_CODEC_ID_TTA, true, true, false, 0},
    {L".ape", AV_CODEC_ID_APE, true, true, false, 0},
    {L".wv", AV_CODEC_ID_WAVPACK, true, true, false, 0},
    {L".tak", AV_CODEC_ID_TAK, false, true, false, 0},
    {L".wma", AV_CODEC_ID_WMAV1, false, false, false, 100},
    {L".wma", AV_CODEC_ID_WMAV2, false, false, false, 100},
    {L".wma", AV_CODEC_ID_WMAPRO, false, false, false, 100},
    {L".wma", AV_CODEC_ID_WMALOSSLESS, false, false, false, 100},
    {L".m4a", AV_CODEC_ID_AAC, false, true, true, 100},
    {L".m4a", AV_CODEC_ID_ALAC, true, true, true, 0},
    {L".m4a", AV_CODEC_ID_FLAC, true, true, true, 0},
    {L".m4a", AV_CODEC_ID_AC3, false, true, true, 100},
    {L".m4a", AV_CODEC_ID_EAC3, false, true, true, 100},
    {L".m4a", AV_CODEC_ID_MP3, false, true, true, 250},
    {L".m4a", AV_CODEC_ID_OPUS, false, true, true, 100},
    {L".aac", AV_CODEC_ID_AAC, false, true, false, 100},
};

} // namespace

const MediaKind *FindMediaKind(const char *demuxer, int codec, MediaSide *side) {
    for (const MediaKind &kind : Kinds) {
        const FileFormat *format = FindFileFormat(kind.Extension);
        if (format && kind.Codec == codec && strcmp(format->Demuxer, demuxer) == 0) {
            *side = format->Side;
            return &kind;
        }
    }
    return NULL;
}
