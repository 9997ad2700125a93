// Damaged and foreign files under every name the engine reads: each open
// fails cleanly or the stream plays what is valid; and a bounded fuzz run of
// mutated fixtures through the open-and-decode path.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "test_support.h"

namespace {

std::string Noise(size_t bytes, DWORD seed) {
    std::string noise(bytes, '\0');
    for (char &byte : noise)
        byte = (char)NextRandom(&seed);
    return noise;
}

struct Sample {
    const char *Name;
    std::string Bytes;
};

std::vector<Sample> DamagedFiles() {
    std::string wav = Fixture("wav-signed-integer-16-2ch-11025.wav");
    std::string mp3 = Fixture("tagged.mp3");
    WavFields stereo = {1, 2, 44100, 4, 16};
    std::string data = Int16Bytes(NoiseSamples(400, 1, 1000));
    std::string junkMp3;
    for (int i = 0; i < 2000; ++i)
        junkMp3 += "\xFF\xFB junk that only looks like frames ";
    return {
        {"empty", ""},
        {"one byte", "R"},
        {"cut wav", wav.substr(0, wav.size() / 2)},
        {"cut wav header", wav.substr(0, 30)},
        {"cut mp3", mp3.substr(0, mp3.size() / 3)},
        {"cut mp3 tag", mp3.substr(0, 40)},
        {"zero-length chunks", RiffFile(Chunk("fmt ", "") + Chunk("data", ""))},
        {"zero-length fmt", RiffFile(Chunk("fmt ", "") + Chunk("data", data))},
        {"huge riff", "RIFF\xFF\xFF\xFF\xFFWAVE" + FmtChunk(stereo) + Chunk("data", data)},
        {"huge data", RiffFile(FmtChunk(stereo) + Chunk("data", 0xFFFFFFF0u, data))},
        {"huge fmt", RiffFile(Chunk("fmt ", 0x7FFFFFFFu, "") + Chunk("data", data))},
        {"no channels", RiffFile(FmtChunk({1, 0, 44100, 4, 16}) + Chunk("data", data))},
        {"no rate", RiffFile(FmtChunk({1, 2, 0, 4, 16}) + Chunk("data", data))},
        {"noise", Noise(300000, 4)},
        {"junk mp3", junkMp3},
        {"huge id3", "ID3\x04\x00\x00\x7F\x7F\x7F\x7F" + Noise(2000, 5)},
    };
}

} // namespace

TEST(BadInput, EveryDamagedFileUnderEveryNameFailsOrPlaysWhatIsValid) {
    ASSERT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
    std::wstring folder = MakeScratchFolder(L"damaged");
    for (const Sample &sample : DamagedFiles()) {
        for (const wchar_t *extension : {L".wav", L".mp1", L".mp2", L".mp3"}) {
            SCOPED_TRACE(testing::Message() << sample.Name << " as " << Utf8(extension));
            std::wstring path = folder + L"damaged" + extension;
            ASSERT_TRUE(WriteBytes(path, sample.Bytes));
            HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0,
                                                   BASS_UNICODE | BASS_STREAM_AUTOFREE);
            if (stream) {
                EXPECT_TRUE(BASS_ChannelPlay(stream, FALSE));
                EXPECT_TRUE(BASS_ChannelStop(stream));
            }
        }
        // Whatever opens decodes to an end.
        Decoded decoded = DecodeBytes(OpenAnyDecoder, sample.Bytes, 10000000);
        EXPECT_LT(decoded.Samples.size(), 10000000u * 8) << sample.Name;
    }
    BASS_Free();
}

TEST(BadInput, WavsThatOnlyClaimTooMuchPlayTheirRealData) {
    WavFields stereo = {1, 2, 44100, 4, 16};
    std::string data = Int16Bytes(NoiseSamples(400, 1, 1000));
    Decoded huge =
        DecodeBytes(OpenAnyDecoder, RiffFile(FmtChunk(stereo) + Chunk("data", 0xFFFFFFF0u, data)));
    ASSERT_TRUE(huge.Opened);
    EXPECT_EQ(400u, huge.Samples.size());
}

// Mutations of real files: flipped bits, overwritten runs, cut and
// duplicated pieces. Bounded to a few seconds.
TEST(BadInput, FuzzedFixturesNeverCrashHangOrReadPastTheirEnd) {
    const char *names[] = {"wav-signed-integer-16-2ch-11025.wav",
                           "wav-signed-integer-24-6ch-96000.wav",
                           "wav-floating-point-32-3ch-22050.wav",
                           "tagged.mp3",
                           "vbr-48k.mp3",
                           "mono-22k.mp3",
                           "layer2.mp2"};
    DWORD seed = 20260501;
    int opened = 0, rounds = 0;
    for (const char *name : names) {
        std::string original = Fixture(name);
        ASSERT_FALSE(original.empty()) << name;
        ASSERT_NO_FATAL_FAILURE(DecodeMutations(OpenAnyDecoder, original, 40, 64, &seed, &opened));
        rounds += 40;
    }
    // Most mutations leave a file that still plays in part.
    EXPECT_GT(opened, rounds / 4);
}
