// A small ID3v2 tag built from a decoder's artist and title, for files whose
// own tags are Vorbis comments, MP4 atoms or ASF attributes: the player reads
// artist and title only from ID3 tags.
#ifndef TONQUIL_MEDIA_ID3_SYNTHESIS_H
#define TONQUIL_MEDIA_ID3_SYNTHESIS_H

#include <string>

// An ID3v2.4 tag with a TPE1 frame for a non-empty artist and a TIT2 frame for
// a non-empty title (UTF-8, either may be NULL); false when both are missing.
bool BuildId3v2Tag(const char *artist, const char *title, std::string *tag);

#endif
