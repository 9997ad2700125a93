// FLAC and TTA through the decoder plug-in: every layout sample for sample
// against the integers the encoders were given.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "plugin_support.h"

#include <string.h>

namespace {

struct LosslessFixture {
    const char *Name; // <format>-<bits>-<channels>ch-<rate>
    DWORD Bits;
    DWORD Channels;
    DWORD Rate;
};

// A source sample at full scale 1: 8-bit samples are unsigned, as in WAV.
double RawValue(const std::string &raw, size_t index, DWORD bits) {
    const unsigned char *bytes = (const unsigned char *)raw.data() + index * (bits / 8);
    if (bits == 8)
        return (bytes[0] - 128) / 128.0;
    long value = 0;
    for (int i = (int)bits / 8 - 1; i >= 0; --i)
        value = value * 256 + bytes[i];
    long sign = 1L << (bits - 1);
    return (double)((value ^ sign) - sign) / (double)sign;
}

} // namespace

TEST(Lossless, DecodesEveryLayoutBitForBit) {
    const LosslessFixture fixtures[] = {
        {"tta-16-1ch-44100", 16, 1, 44100},  {"tta-24-2ch-48000", 24, 2, 48000},
        {"tta-16-6ch-48000", 16, 6, 48000},  {"tta-24-6ch-96000", 24, 6, 96000},
        {"tta-8-2ch-22050", 8, 2, 22050},    {"flac-16-1ch-44100", 16, 1, 44100},
        {"flac-24-2ch-48000", 24, 2, 48000}, {"flac-16-6ch-48000", 16, 6, 48000},
        {"flac-24-6ch-96000", 24, 6, 96000},
    };
    for (const LosslessFixture &fixture : fixtures) {
        SCOPED_TRACE(fixture.Name);
        std::string name = fixture.Name;
        Decoded decoded =
            DecodeFixture(OpenThroughPlugin, name + "." + name.substr(0, name.find('-')));
        std::string raw = Fixture(name + ".ref.raw");
        ASSERT_TRUE(decoded.Opened);
        EXPECT_EQ(fixture.Rate, decoded.Rate);
        ASSERT_EQ(fixture.Channels, decoded.Channels);
        size_t count = raw.size() / (fixture.Bits / 8);
        ASSERT_GT(count, 0u);
        ASSERT_EQ(count, decoded.Samples.size());
        for (size_t i = 0; i < count; ++i)
            ASSERT_EQ(RawValue(raw, i, fixture.Bits), decoded.Samples[i]) << "sample " << i;
    }
}
