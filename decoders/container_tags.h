// Artist and title from the tags of MP4 files (the iTunes-style "ilst" list
// under moov/udta/meta) and of ASF files (WMA's Content Description object).
#ifndef TONQUIL_DECODERS_CONTAINER_TAGS_H
#define TONQUIL_DECODERS_CONTAINER_TAGS_H

#include "tonquil_decoder_plugin.h"
#include "engine/vorbis_comments.h"

// Both leave names alone where the file has no such tags or they are damaged.
void ReadMp4Names(const TQSOURCE *source, TrackNames *names);
void ReadAsfNames(const TQSOURCE *source, TrackNames *names);

#endif
