#include "media/source_io.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace {

const int BUFFER_BYTES = 32768;

int ReadSource(void *opaque, uint8_t *buffer, int size) {
    SourceIo *io = (SourceIo *)opaque;
    int64_t left = (int64_t)io->Source->Size - io->Position;
    if (size <= 0 || left <= 0)
        return AVERROR_EOF;
    DWORD count = (DWORD)(left < size ? left : size);
    DWORD got = io->Source->Read(io->Source->Context, (DWORD)io->Position, buffer, count);
    if (got == 0 || got > count)
        return AVERROR_EOF;
    io->Position += got;
    return (int)got;
}

int64_t SeekSource(void *opaque, int64_t offset, int whence) {
    SourceIo *io = (SourceIo *)opaque;
    int64_t size = io->Source->Size;
    int64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return size;
    case SEEK_SET:
        break;
    case SEEK_CUR:
        base = io->Position;
        break;
    case SEEK_END:
        base = size;
        break;
    default:
        return AVERROR(EINVAL);
    }
    int64_t position = base + offset;
    if (position < 0 || position > size)
        return AVERROR(EINVAL);
    io->Position = position;
    return position;
}

} // namespace

AVIOContext *OpenSourceIo(SourceIo *io) {
    io->Position = 0;
    unsigned char *buffer = (unsigned char *)av_malloc(BUFFER_BYTES);
    if (!buffer)
        return NULL;
    AVIOContext *context =
        avio_alloc_context(buffer, BUFFER_BYTES, 0, io, ReadSource, NULL, SeekSource);
    if (!context)
        av_free(buffer);
    return context;
}

void CloseSourceIo(AVIOContext **context) {
    if (!*context)
        return;
    av_freep(&(*context)->buffer);
    avio_context_free(context);
}
