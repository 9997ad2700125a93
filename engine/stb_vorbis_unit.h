// What the engine asks of stb_vorbis beyond its public interface, answered
// in the one unit that sees the library's own records.
#ifndef TONQUIL_ENGINE_STB_VORBIS_UNIT_H
#define TONQUIL_ENGINE_STB_VORBIS_UNIT_H

typedef struct stb_vorbis stb_vorbis;

// stb_vorbis 1.22 decodes streams whose channel mapping has more than one
// submap into noise (the reference encoder's 5.1 layout, with its LFE
// channel in a submap of its own): those are refused rather than played.
bool VorbisHasSubmaps(const stb_vorbis *codec);

#endif
