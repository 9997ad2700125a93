// The one translation unit that holds stb_vorbis's implementation (Debian's
// libstb-dev). Only the push interface is built: the engine reads its sources
// itself and never hands the library a file or the whole of one.
#define STB_VORBIS_NO_PULLDATA_API
#include <stb_vorbis.h>

#include "engine/stb_vorbis_unit.h"

bool VorbisHasSubmaps(const stb_vorbis *codec) {
    for (int i = 0; i < codec->mapping_count; ++i)
        if (codec->mapping[i].submaps > 1)
            return true;
    return false;
}
