// Artist and title from a FLAC file's VORBIS_COMMENT metadata block.
#ifndef TONQUIL_DECODERS_FLAC_TAGS_H
#define TONQUIL_DECODERS_FLAC_TAGS_H

#include "tonquil_decoder_plugin.h"
#include "engine/vorbis_comments.h"

// The file starts with "fLaC", after an ID3v2 tag if it has one.
bool IsFlac(const TQSOURCE *source);
// Leaves names alone when there is no such block or it is damaged.
void ReadFlacNames(const TQSOURCE *source, TrackNames *names);

#endif
