#include "media/sample_convert.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/samplefmt.h>
}

#include <stdint.h>

namespace {

float FromU8(const uint8_t *data, int index) {
    return (data[index] - 128) / 128.0f;
}
float FromS16(const uint8_t *data, int index) {
    return ((const int16_t *)data)[index] / 32768.0f;
}
float FromS32(const uint8_t *data, int index) {
    return (float)(((const int32_t *)data)[index] / 2147483648.0);
}
float FromFloat(const uint8_t *data, int index) {
    return ((const float *)data)[index];
}
float FromDouble(const uint8_t *data, int index) {
    return (float)((const double *)data)[index];
}

typedef float (*SampleReader)(const uint8_t *data, int index);

SampleReader ReaderOf(int format) {
    switch (av_get_packed_sample_fmt((AVSampleFormat)format)) {
    case AV_SAMPLE_FMT_U8:
        return FromU8;
    case AV_SAMPLE_FMT_S16:
        return FromS16;
    case AV_SAMPLE_FMT_S32:
        return FromS32;
    case AV_SAMPLE_FMT_FLT:
        return FromFloat;
    case AV_SAMPLE_FMT_DBL:
        return FromDouble;
    default:
        return NULL;
    }
}

} // namespace

bool CanConvertSamples(int format) {
    return ReaderOf(format) != NULL;
}

void ConvertSamples(const AVFrame *frame, int channels, int first, int count, float *out) {
    SampleReader read = ReaderOf(frame->format);
    if (av_sample_fmt_is_planar((AVSampleFormat)frame->format)) {
        for (int i = 0; i < count; ++i)
            for (int c = 0; c < channels; ++c)
                *out++ = read(frame->extended_data[c], first + i);
        return;
    }
    const uint8_t *data = frame->extended_data[0];
    for (int i = first * channels, end = (first + count) * channels; i < end; ++i)
        *out++ = read(data, i);
}
