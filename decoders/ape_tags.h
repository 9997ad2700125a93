// Artist and title from an APEv2 tag at the end of a file (before an ID3v1
// tag, if there is one), as TTA files made by ffmpeg carry them.
#ifndef TONQUIL_DECODERS_APE_TAGS_H
#define TONQUIL_DECODERS_APE_TAGS_H

#include "tonquil_decoder_plugin.h"
#include "engine/vorbis_comments.h"

// Leaves names alone when there is no such tag or it is damaged.
void ReadApeNames(const TQSOURCE *source, TrackNames *names);

#endif
