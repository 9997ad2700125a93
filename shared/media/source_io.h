// FFmpeg's input through the engine's source: an I/O context that reads and
// seeks in a TQSOURCE. No path ever reaches FFmpeg.
#ifndef TONQUIL_MEDIA_SOURCE_IO_H
#define TONQUIL_MEDIA_SOURCE_IO_H

#include "tonquil_decoder_plugin.h"

#include <stdint.h>

struct AVIOContext;

// Where the I/O context stands in its source; kept by the caller, which also
// keeps it at the same address until the context is closed.
struct SourceIo {
    const TQSOURCE *Source;
    int64_t Position;
};

// A reading, seekable context over io->Source from its first byte; NULL when
// memory runs out.
AVIOContext *OpenSourceIo(SourceIo *io);
void CloseSourceIo(AVIOContext **context);

#endif
