// Decoded frames of any of FFmpeg's sample formats, planar or interleaved, as
// the interleaved 32-bit floats that the engine takes.
#ifndef TONQUIL_MEDIA_SAMPLE_CONVERT_H
#define TONQUIL_MEDIA_SAMPLE_CONVERT_H

struct AVFrame;

// Whether frames of this AVSampleFormat can be converted.
bool CanConvertSamples(int format);
// Writes count frames of frame from frame index first into out, channels
// samples each. Integers map to full scale 1 exactly (a 16-bit sample is
// value / 32768).
void ConvertSamples(const AVFrame *frame, int channels, int first, int count, float *out);

#endif
