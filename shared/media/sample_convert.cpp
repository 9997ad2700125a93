#include "media/sample_convert.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/samplefmt.h>
}

#include <stdint.h>

namespace {

float Scale(uint8_t sample) {
    return (sample - 128) / 128.0f;
}
float Scale(int16_t sample) {
    return sample / 32768.0f;
}
float Scale(int32_t sample) {
    return (float)(sample / 2147483648.0);
}
float Scale(float sample) {
    return sample;
}
float Scale(double sample) {
    return (float)sample;
}

// One loop per sample type: this runs for every sample decoded.
template <typename Sample>
void Interleave(const AVFrame *frame, int channels, int first, int count, float *out) {
    if (av_sample_fmt_is_planar((AVSampleFormat)frame->format)) {
        for (int c = 0; c < channels; ++c) {
            const Sample *in = (const Sample *)frame->extended_data[c] + first;
            for (int i = 0; i < count; ++i)
                out[(size_t)i * channels + c] = Scale(in[i]);
        }
        return;
    }
    const Sample *in = (const Sample *)frame->extended_data[0] + (size_t)first * channels;
    for (size_t i = 0, end = (size_t)count * channels; i < end; ++i)
        out[i] = Scale(in[i]);
}

typedef void (*Converter)(const AVFrame *frame, int channels, int first, int count, float *out);

Converter ConverterOf(int format) {
    switch (av_get_packed_sample_fmt((AVSampleFormat)format)) {
    case AV_SAMPLE_FMT_U8:
        return Interleave<uint8_t>;
    case AV_SAMPLE_FMT_S16:
        return Interleave<int16_t>;
    case AV_SAMPLE_FMT_S32:
        return Interleave<int32_t>;
    case AV_SAMPLE_FMT_FLT:
        return Interleave<float>;
    case AV_SAMPLE_FMT_DBL:
        return Interleave<double>;
    default:
        return NULL;
    }
}

} // namespace

bool CanConvertSamples(int format) {
    return ConverterOf(format) != NULL;
}

void ConvertSamples(const AVFrame *frame, int channels, int first, int count, float *out) {
    ConverterOf(frame->format)(frame, channels, first, count, out);
}
