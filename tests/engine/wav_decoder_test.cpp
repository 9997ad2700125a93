// The WAV decoder: every sample layout against the same samples written bare
// by sox, and damaged files that must be refused or read only as far as valid.
#include <gtest/gtest.h>

#include "engine/decoding/wav_decoder.h"
#include "engine_support.h"

#include <math.h>
#include <string.h>

namespace {

struct Layout {
    const char *Encoding;
    int Bits;
};

const Layout Layouts[] = {{"unsigned-integer", 8},
                          {"signed-integer", 16},
                          {"signed-integer", 24},
                          {"signed-integer", 32},
                          {"floating-point", 32}};
const DWORD Rates[] = {8000, 11025, 22050, 44100, 48000, 96000, 32000, 16000};

// The value a raw sample stands for, full scale 1.
double RawValue(const std::string &raw, size_t index, const Layout &layout) {
    const unsigned char *bytes = (const unsigned char *)raw.data() + index * (layout.Bits / 8);
    if (layout.Encoding[0] == 'f') {
        float value;
        memcpy(&value, bytes, 4);
        return value;
    }
    if (layout.Bits == 8)
        return (bytes[0] - 128) / 128.0;
    long long value = 0;
    for (int i = layout.Bits / 8 - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    long long sign = 1LL << (layout.Bits - 1);
    return (double)((value ^ sign) - sign) / (double)sign;
}

Decoded Decode(const std::string &bytes) {
    return DecodeBytes(OpenWavDecoder, bytes);
}

std::string SixteenBitData(size_t frames, WORD channels) {
    return Int16Bytes(NoiseSamples((DWORD)(frames * channels), 7, 30000));
}

} // namespace

TEST(WavDecoder, ReadsEveryLayoutSampleForSample) {
    for (const Layout &layout : Layouts) {
        for (DWORD channels = 1; channels <= 8; ++channels) {
            char name[96];
            snprintf(name, sizeof name, "wav-%s-%d-%luch-%lu", layout.Encoding, layout.Bits,
                     channels, Rates[channels - 1]);
            SCOPED_TRACE(name);
            Decoded decoded = DecodeFixture(OpenWavDecoder, std::string(name) + ".wav");
            std::string raw = Fixture(std::string(name) + ".raw");
            ASSERT_TRUE(decoded.Opened);
            EXPECT_EQ(Rates[channels - 1], decoded.Rate);
            EXPECT_EQ(channels, decoded.Channels);
            size_t count = raw.size() / (layout.Bits / 8);
            ASSERT_EQ(count, decoded.Samples.size());
            ASSERT_GT(count, 0u);
            for (size_t i = 0; i < count; ++i) {
                // Exact, except that float cannot hold every 32-bit integer.
                double want = RawValue(raw, i, layout);
                double slack = layout.Bits == 32 && layout.Encoding[0] == 's' ? 1e-7 : 0;
                ASSERT_NEAR(want, decoded.Samples[i], slack) << "sample " << i;
            }
        }
    }
}

TEST(WavDecoder, WalksOddZeroLengthAndUnknownChunksBeforeData) {
    std::string data = SixteenBitData(100, 2);
    WavFields fields = {1, 2, 44100, 4, 16};
    std::string file = RiffFile(Chunk("LIST", std::string(7, 'x')) + Chunk("junk", "") +
                                FmtChunk(fields) + Chunk("odd ", "abc") + Chunk("data", data));
    Decoded decoded = Decode(file);
    ASSERT_TRUE(decoded.Opened);
    ASSERT_EQ(200u, decoded.Samples.size());
    std::vector<short> want = Int16Samples(data);
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(want[i] / 32768.0f, decoded.Samples[i]);
}

TEST(WavDecoder, DataCutShortByTheFileEndPlaysTheWholeFramesThere) {
    std::string data = SixteenBitData(100, 2);
    WavFields fields = {1, 2, 44100, 4, 16};
    // Of the 400 bytes the data chunk claims, 201 arrive: 50 whole frames and a bit.
    std::string file = RiffFile(FmtChunk(fields) + Chunk("data", data));
    Decoded decoded = Decode(file.substr(0, file.size() - 199));
    ASSERT_TRUE(decoded.Opened);
    EXPECT_EQ(100u, decoded.Samples.size());
}

TEST(WavDecoder, HugeDeclaredSizesStayInsideTheFile) {
    std::string data = SixteenBitData(10, 1);
    WavFields fields = {1, 1, 8000, 2, 16};
    std::string riffHuge = RiffFile(FmtChunk(fields) + Chunk("data", data));
    riffHuge[4] = riffHuge[5] = riffHuge[6] = riffHuge[7] = (char)0xFF;
    EXPECT_EQ(10u, Decode(riffHuge).Samples.size());
    // A chunk before the data that claims more than the file holds ends the walk.
    EXPECT_FALSE(
        Decode(RiffFile(FmtChunk(fields) + Chunk("LIST", 0xFFFFFFF0u, "ab") + Chunk("data", data)))
            .Opened);
    EXPECT_FALSE(Decode(RiffFile(Chunk("fmt ", 0xFFFFFFFFu, "") + Chunk("data", data))).Opened);
}

TEST(WavDecoder, RefusesFormatsItCannotPlay) {
    std::string data = SixteenBitData(10, 2);
    const WavFields refused[] = {
        {1, 0, 44100, 0, 16},  // no channels
        {1, 2, 0, 4, 16},      // 0 Hz
        {1, 9, 44100, 18, 16}, // more channels than it plays
        {1, 2, 44100, 3, 16},  // block size that does not fit the samples
        {1, 2, 44100, 4, 12},  // 12-bit samples
        {3, 2, 44100, 4, 16},  // 16-bit float
        {2, 2, 44100, 4, 16},  // ADPCM
    };
    for (const WavFields &fields : refused) {
        SCOPED_TRACE(testing::Message() << "tag " << fields.Tag << " channels " << fields.Channels
                                        << " rate " << fields.Rate << " bits " << fields.Bits);
        EXPECT_FALSE(Decode(RiffFile(FmtChunk(fields) + Chunk("data", data))).Opened);
    }
}

TEST(WavDecoder, RefusesFilesWithoutPlayableData) {
    WavFields fields = {1, 2, 44100, 4, 16};
    EXPECT_FALSE(Decode("").Opened);
    EXPECT_FALSE(Decode("RIFF").Opened);
    EXPECT_FALSE(Decode(RiffFile("")).Opened);
    EXPECT_FALSE(Decode(RiffFile(FmtChunk(fields))).Opened);
    EXPECT_FALSE(Decode(RiffFile(FmtChunk(fields) + Chunk("data", ""))).Opened);
    EXPECT_FALSE(Decode(RiffFile(FmtChunk(fields) + Chunk("data", "abc"))).Opened);
    EXPECT_FALSE(Decode(RiffFile(Chunk("data", SixteenBitData(4, 2)) + FmtChunk(fields))).Opened);
    std::string good = RiffFile(FmtChunk(fields) + Chunk("data", SixteenBitData(4, 2)));
    for (size_t cut = 0; cut < good.size() - 12; ++cut) // less than one frame
        EXPECT_FALSE(Decode(good.substr(0, cut)).Opened) << "cut at " << cut;
}
