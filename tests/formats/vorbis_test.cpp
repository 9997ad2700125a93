// Ogg Vorbis in the engine: every layout against oggdec, sample for sample
// (ffmpeg for 8 channels) within a stated error and frame for frame exactly.
#include <gtest/gtest.h>

#include "engine/vorbis_decoder.h"
#include "engine_support.h"

#include <math.h>

namespace {

struct OggFixture {
    const char *Name;
    DWORD Channels;
    DWORD Rate;
    bool Playable;
};

// stb_vorbis and libvorbis round differently, and oggdec rounds to 16 bits:
// measured at most 1.6e-5 apart; 1e-3 (33 steps of 16 bits) is the bound held.
const double VorbisTolerance = 1e-3;

} // namespace

TEST(Vorbis, DecodesEveryLayoutAsOggdecDoesToTheExactLength) {
    // The reference encoder's 5.1 layout is refused: stb_vorbis turns it into noise.
    const OggFixture fixtures[] = {{"ogg-1ch-22050", 1, 22050, true},
                                   {"ogg-2ch-44100", 2, 44100, true},
                                   {"ogg-3ch-32000", 3, 32000, true},
                                   {"ogg-6ch-48000", 6, 48000, false},
                                   {"ogg-8ch-48000", 8, 48000, true}};
    for (const OggFixture &fixture : fixtures) {
        SCOPED_TRACE(fixture.Name);
        Decoded decoded = DecodeFixture(OpenVorbisDecoder, std::string(fixture.Name) + ".ogg");
        ASSERT_EQ(fixture.Playable, decoded.Opened);
        if (!fixture.Playable)
            continue;
        std::vector<short> want = Int16Samples(Fixture(std::string(fixture.Name) + ".ref.raw"));
        EXPECT_EQ(fixture.Rate, decoded.Rate);
        ASSERT_EQ(fixture.Channels, decoded.Channels);
        ASSERT_FALSE(want.empty());
        ASSERT_EQ(want.size(), decoded.Samples.size());
        double worst = 0;
        for (size_t i = 0; i < want.size(); ++i)
            worst = fmax(worst, fabs(want[i] / 32768.0 - decoded.Samples[i]));
        EXPECT_LT(worst, VorbisTolerance);
        printf("%s: largest difference from the reference %.6f\n", fixture.Name, worst);
    }
}
