// The kinds of file Tonquil decodes through FFmpeg, by container and codec,
// and who decodes each: the engine by itself or the decoder plug-in. The
// content decides the kind, never the file's name.
#ifndef TONQUIL_MEDIA_MEDIA_KINDS_H
#define TONQUIL_MEDIA_MEDIA_KINDS_H

#include "formats/file_formats.h"

struct MediaKind {
    // The format whose demuxer reads this codec and whose side decodes it.
    const WCHAR *Extension;
    int Codec; // an AVCodecID
    // The container's timestamps place every frame exactly after a seek, and
    // its duration is the exact length; otherwise both come from counting
    // the frames of the packets from the start.
    bool Exact;
    // A packet's size or duration tells how many frames it decodes to.
    bool Countable;
    // The container's duration ends the track where the decoder would give
    // more: MP4's edit list cuts the encoder's padding from the last frame.
    bool StatesEnd;
    // Frames a decoder needs before a seek's target to give it as decoding
    // from the start would: 0 for lossless codecs.
    int PrerollMs;
};

// The kind of this container and codec, NULL when Tonquil decodes no such file;
// *side says who decodes it.
const MediaKind *FindMediaKind(const char *demuxer, int codec, MediaSide *side);

#endif
