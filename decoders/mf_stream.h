// An IStream that reads a TQSOURCE, so that Media Foundation reads the file
// through the engine rather than from a path or a copy of it in memory.
#ifndef TONQUIL_DECODERS_MF_STREAM_H
#define TONQUIL_DECODERS_MF_STREAM_H

#include "tonquil_decoder_plugin.h"

#include <objidl.h>

// A new stream (one reference) over the source, which must outlive it; NULL
// when out of memory.
IStream *NewSourceStream(const TQSOURCE *source);

#endif
