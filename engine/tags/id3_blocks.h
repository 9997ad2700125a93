// The ID3 tag blocks around an audio file's data: the ID3v2 block at its start
// and the 128-byte ID3v1 block at its end, as the stream hands them out.
#ifndef TONQUIL_ENGINE_TAGS_ID3_BLOCKS_H
#define TONQUIL_ENGINE_TAGS_ID3_BLOCKS_H

#include "engine/bass.h"

#include <string>

#define ID3V1_SIZE 128
#define ID3V2_HEADER_SIZE 10

// Bytes of the ID3v2 block at the start (its 10-byte header plus the size the
// header states), or 0 when there is none or it does not fit in the source.
DWORD Id3v2BlockSize(const TQSOURCE *source);
bool HasId3v1Block(const TQSOURCE *source);

bool ReadId3v2Block(const TQSOURCE *source, std::string *block);
bool ReadId3v1Block(const TQSOURCE *source, std::string *block);

#endif
