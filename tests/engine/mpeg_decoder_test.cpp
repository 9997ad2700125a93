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

// Without an Info frame only the decoder's own delay is known, and both
// decoders drop just that.
TEST(MpegDecoder, Layer3MatchesLameDecodeAfterTheStatedDelay) {
    for (const char *name : {"tagged.mp3", "mono-22k.mp3", "vbr-48k.mp3", "untagged.mp3"}) {
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

namespace {

std::string Noise(size_t bytes, DWORD seed) {
    std::string noise(bytes, '\0');
    for (char &byte : noise)
        byte = (char)NextRandom(&seed);
    return noise;
}

// Offsets of the twolame file's frames (see above: 626 bytes plus padding).
std::vector<size_t> Layer2FrameStarts(const std::string &file) {
    std::vector<size_t> starts;
    for (size_t at = 0; at + 4 <= file.size(); at += 626 + (((unsigned char)file[at + 2] >> 1) & 1))
        starts.push_back(at);
    return starts;
}

// MPEG-1 layer 1 frames at 384 kbit/s, 44.1 kHz, stereo, every allocation
// zero: 416 bytes each that decode to 384 frames of silence.
std::string SilentLayer1(int frames) {
    std::string frame(416, '\0');
    frame[0] = (char)0xFF;
    frame[1] = (char)0xFF;
    frame[2] = (char)0xC0;
    std::string file;
    for (int i = 0; i < frames; ++i)
        file += frame;
    return file;
}

} // namespace

TEST(MpegDecoder, ResynchronisesAfterJunkAndLosesNoFrame) {
    std::string file = Fixture("layer2.mp2");
    Decoded clean = DecodeBytes(OpenMpegDecoder, file);
    std::vector<size_t> starts = Layer2FrameStarts(file);
    ASSERT_GT(starts.size(), 20u);
    // Junk before the first frame, between two frames, and after the last.
    std::string junked = Noise(3000, 1) + file.substr(0, starts[10]) + Noise(1000, 2) +
                         file.substr(starts[10]) + Noise(500, 3);
    Decoded decoded = DecodeBytes(OpenMpegDecoder, junked);
    ASSERT_TRUE(decoded.Opened);
    ASSERT_EQ(clean.Samples.size(), decoded.Samples.size());
    // Layer 2 frames stand alone, so the sound is the same to the sample.
    EXPECT_TRUE(clean.Samples == decoded.Samples);
}

TEST(MpegDecoder, CutFilesPlayTheirWholeFrames) {
    std::string file = Fixture("layer2.mp2");
    std::vector<size_t> starts = Layer2FrameStarts(file);
    Decoded cut = DecodeBytes(OpenMpegDecoder, file.substr(0, starts[5] + 300));
    ASSERT_TRUE(cut.Opened);
    EXPECT_EQ(5u * 1152 * 2, cut.Samples.size());
    Decoded mp3 = DecodeBytes(OpenMpegDecoder, Fixture("tagged.mp3").substr(0, 5000));
    EXPECT_TRUE(mp3.Opened);
    EXPECT_LT(mp3.Samples.size(), 44100u * 2);
}

TEST(MpegDecoder, Layer1DecodesThroughTheCodec) {
    Decoded decoded = DecodeBytes(OpenMpegDecoder, SilentLayer1(20));
    ASSERT_TRUE(decoded.Opened);
    EXPECT_EQ(44100u, decoded.Rate);
    EXPECT_EQ(20u * 384 * 2, decoded.Samples.size());
    // Silence, give or take the codec's last bits.
    for (float sample : decoded.Samples)
        ASSERT_LE(fabsf(sample), 4 / 32768.0f);
}

TEST(MpegDecoder, RefusesJunkNoiseAndLoneHeaders) {
    EXPECT_FALSE(DecodeBytes(OpenMpegDecoder, "").Opened);
    EXPECT_FALSE(DecodeBytes(OpenMpegDecoder, Noise(400000, 9)).Opened);
    EXPECT_FALSE(DecodeBytes(OpenMpegDecoder, std::string(100000, '\xFF')).Opened);
    EXPECT_FALSE(DecodeBytes(OpenMpegDecoder, std::string(100000, '\0')).Opened);
    // A header whose frame runs past the end, and an ID3 tag with nothing after it.
    EXPECT_FALSE(DecodeBytes(OpenMpegDecoder, SilentLayer1(1).substr(0, 200)).Opened);
    std::string tagOnly = "ID3\x03";
    tagOnly += std::string(5, '\0') + "\x0A" + std::string(10, 'x');
    EXPECT_FALSE(DecodeBytes(OpenMpegDecoder, tagOnly).Opened);
    // The Info frame alone: it describes sound that is not there.
    std::string mp3 = Fixture("mono-22k.mp3");
    size_t info = mp3.find("Info") != std::string::npos ? mp3.find("Info") : mp3.find("Xing");
    ASSERT_NE(std::string::npos, info);
    size_t firstFrame = mp3.rfind("\xFF", info);
    EXPECT_FALSE(DecodeBytes(OpenMpegDecoder, mp3.substr(0, firstFrame + 200)).Opened);
}
