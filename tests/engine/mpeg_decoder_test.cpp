// The MPEG decoder: lame's and twolame's files decoded through ACM against
// what lame --decode makes of them, frame search and refusal of junk.
#include <gtest/gtest.h>

#include "engine/mpeg_decoder.h"
#include "engine_support.h"

#include <math.h>
#include <stdlib.h>

namespace {

// The largest difference from lame's decode after skipping offset frames of ours.
int LargestDifference(const Decoded &ours, const std::vector<short> &reference, size_t offset) {
    int largest = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
        size_t at = i + offset * ours.Channels;
        if (at >= ours.Samples.size())
            return 65536;
        int difference = abs((int)lrintf(ours.Samples[at] * 32768.0f) - reference[i]);
        largest = difference > largest ? difference : largest;
    }
    return largest;
}

int SkipOf(const std::string &name) {
    return atoi(Fixture(name + ".skip").c_str());
}

} // namespace

TEST(MpegDecoder, Layer3MatchesLameDecodeAfterTheStatedDelay) {
    for (const char *name : {"tagged.mp3", "mono-22k.mp3", "vbr-48k.mp3"}) {
        SCOPED_TRACE(name);
        Decoded ours = DecodeFixture(OpenMpegDecoder, name);
        std::vector<short> reference = Int16Samples(Fixture(std::string(name) + ".ref.raw"));
        ASSERT_TRUE(ours.Opened);
        ASSERT_GT(reference.size(), 0u);
        // Exactly as many frames as the encoder was given, and the same sound.
        EXPECT_EQ(reference.size(), ours.Samples.size());
        EXPECT_LE(LargestDifference(ours, reference, 0), 4);
    }
}

TEST(MpegDecoder, Layer2KeepsEveryFrameAndMatchesLameDecode) {
    Decoded ours = DecodeFixture(OpenMpegDecoder, "layer2.mp2");
    std::string file = Fixture("layer2.mp2");
    std::vector<short> reference = Int16Samples(Fixture("layer2.mp2.ref.raw"));
    ASSERT_TRUE(ours.Opened);
    EXPECT_EQ(44100u, ours.Rate);
    ASSERT_EQ(2u, ours.Channels);
    // twolame's default: 192 kbit/s at 44.1 kHz, 626 bytes a frame plus the
    // padding byte its header announces, 1152 frames of sound in each.
    size_t frames = 0;
    for (size_t at = 0; at + 4 <= file.size(); ++frames) {
        ASSERT_EQ(0xFF, (unsigned char)file[at]);
        ASSERT_EQ(0xA0, (unsigned char)file[at + 2] & 0xFC) << "192 kbit/s, 44.1 kHz";
        at += 626 + (((unsigned char)file[at + 2] >> 1) & 1);
    }
    EXPECT_EQ(frames * 1152 * 2, ours.Samples.size());
    // lame drops its own decoder delay at the start and the last frame at the end.
    EXPECT_LE(LargestDifference(ours, reference, SkipOf("layer2.mp2")), 4);
}
