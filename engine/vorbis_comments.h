// Artist and title from Vorbis comments ("ARTIST=...", "TITLE=..."), as Ogg
// and FLAC files carry them.
#ifndef TONQUIL_ENGINE_VORBIS_COMMENTS_H
#define TONQUIL_ENGINE_VORBIS_COMMENTS_H

#include "engine/bass.h"

#include <string>
#include <vector>

struct TrackNames {
    std::string Artist;
    std::string Title;
};

// Points the decoder's Artist and Title at the names, NULL for an empty one;
// names must live until the decoder closes.
void PublishNames(const TrackNames &names, TQDECODER *decoder);

// Takes the value of one comment of count bytes when its field name is
// ARTIST or TITLE (in any case) and that name has no value yet.
void TakeVorbisComment(const char *comment, size_t count, TrackNames *names);

// Reads a comment list (vendor, then the comments, each after its
// little-endian length) of size bytes into names; false when a length
// reaches past its end.
bool TakeCommentList(const unsigned char *list, size_t size, TrackNames *names);

// The Vorbis comment header packet ("\x03vorbis", vendor, comments) is
// whole: every length it states lies within it.
bool CommentHeaderHolds(const std::vector<unsigned char> &packet);

#endif
