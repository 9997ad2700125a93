// AAC (in MP4 and ADTS) and WMA through the decoder plug-in, against
// ffmpeg's decoding of the same files, within a stated error.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "plugin_support.h"

#include <math.h>
#include <string.h>

namespace {

struct LossyFixture {
    const char *File;
    DWORD Channels;
    DWORD Rate;
};

// Decoders of these formats differ in rounding and in how much of the
// encoder's priming they drop; the sound is compared after aligning on the
// best offset within six thousand frames (WMA through GStreamer keeps 4096
// frames of priming that ffmpeg drops).
const double LossyTolerance = 0.01;
const long MaxOffset = 6000;

std::vector<float> Floats(const std::string &raw) {
    std::vector<float> floats(raw.size() / sizeof(float));
    if (!floats.empty())
        memcpy(floats.data(), raw.data(), floats.size() * sizeof(float));
    return floats;
}

// The largest difference over limit samples of want from the frame
// MaxOffset on, with got shifted by offset frames against want.
double Difference(const std::vector<float> &want, const std::vector<float> &got, long offset,
                  DWORD channels, size_t limit) {
    double worst = 0;
    size_t first = (size_t)MaxOffset * channels;
    for (size_t i = first; i < want.size() && i - first < limit; ++i) {
        long j = (long)i + offset * (long)channels;
        if (j >= 0 && (size_t)j < got.size())
            worst = fmax(worst, fabs(want[i] - got[(size_t)j]));
    }
    return worst;
}

} // namespace

TEST(Lossy, DecodesAacAndWmaAsFfmpegDoes) {
    const LossyFixture fixtures[] = {{"aac-2ch-44100.m4a", 2, 44100},
                                     {"aac-1ch-48000.aac", 1, 48000},
                                     {"wma-2ch-44100.wma", 2, 44100}};
    for (const LossyFixture &fixture : fixtures) {
        SCOPED_TRACE(fixture.File);
        std::string name = fixture.File;
        Decoded decoded = DecodeFixture(OpenThroughPlugin, name);
        std::vector<float> want = Floats(Fixture(name.substr(0, name.find('.')) + ".ref.raw"));
        ASSERT_TRUE(decoded.Opened);
        EXPECT_EQ(fixture.Rate, decoded.Rate);
        ASSERT_EQ(fixture.Channels, decoded.Channels);
        ASSERT_FALSE(want.empty());
        double best = 1e9;
        long bestOffset = 0;
        for (long offset = -MaxOffset; offset <= MaxOffset; ++offset) {
            double difference =
                Difference(want, decoded.Samples, offset, fixture.Channels, 4096 * 2);
            if (difference < best) {
                best = difference;
                bestOffset = offset;
            }
        }
        best = Difference(want, decoded.Samples, bestOffset, fixture.Channels, want.size());
        long frames = (long)(decoded.Samples.size() / fixture.Channels);
        long wantFrames = (long)(want.size() / fixture.Channels);
        printf("%s: %ld frames (ffmpeg %ld), offset %ld, largest difference %.6f\n", fixture.File,
               frames, wantFrames, bestOffset, best);
        EXPECT_LT(best, LossyTolerance);
        EXPECT_LE(labs(frames - wantFrames), MaxOffset);
    }
}
