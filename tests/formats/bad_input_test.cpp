// Damaged and foreign files for the Vorbis decoder and the plug-in: each is
// refused cleanly or plays what is valid; and a bounded fuzz run of mutated
// fixtures, every file ending at a page that cannot be read.
#include <gtest/gtest.h>

#include "engine/vorbis_decoder.h"
#include "engine_support.h"
#include "plugin_support.h"

namespace {

struct Damaged {
    const char *Name;
    TQDECODEROPEN Open;
    std::string Bytes;
    bool MayOpen;
};

// CRC-32 as zlib computes it, to restate a TTA header after a change.
DWORD Crc32(const std::string &bytes) {
    DWORD crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// The TTA file with its header's frame count replaced and the header's
// checksum made right again.
std::string TtaClaiming(std::string tta, DWORD frames) {
    for (int i = 0; i < 4; ++i)
        tta[14 + i] = (char)(frames >> (8 * i));
    DWORD crc = Crc32(tta.substr(0, 18));
    for (int i = 0; i < 4; ++i)
        tta[18 + i] = (char)(crc >> (8 * i));
    return tta;
}

std::vector<Damaged> DamagedFiles() {
    std::string ogg = Fixture("ogg-2ch-44100.ogg");
    std::string tta = Fixture("tta-16-1ch-44100.tta");
    std::string flac = Fixture("tagged.flac");
    std::string m4a = Fixture("tagged.m4a");
    std::string noise(200000, '\0');
    DWORD seed = 77;
    for (char &byte : noise)
        byte = (char)NextRandom(&seed);
    return {
        {"empty ogg", OpenVorbisDecoder, "", false},
        {"bare page mark", OpenVorbisDecoder, "OggS", false},
        {"ogg header only", OpenVorbisDecoder, ogg.substr(0, 200), false},
        {"cut ogg", OpenVorbisDecoder, ogg.substr(0, ogg.size() / 2), true},
        {"opus in ogg", OpenVorbisDecoder, Fixture("opus.ogg"), false},
        {"ogg mark then noise", OpenVorbisDecoder, "OggS" + noise, false},
        {"5.1 vorbis", OpenVorbisDecoder, Fixture("ogg-6ch-48000.ogg"), false},
        {"mp3 as ogg", OpenVorbisDecoder, Fixture("tagged.mp3"), false},
        {"empty tta", OpenThroughPlugin, "", false},
        {"tta header only", OpenThroughPlugin, tta.substr(0, 22), false},
        {"cut tta", OpenThroughPlugin, tta.substr(0, tta.size() / 2), true},
        {"tta claiming 4G frames", OpenThroughPlugin, TtaClaiming(tta, 0xFFFFFFFFu), false},
        {"tta claiming more frames", OpenThroughPlugin, TtaClaiming(tta, 200000), true},
        {"noise", OpenThroughPlugin, noise, false},
        {"mp4 without audio", OpenThroughPlugin, Fixture("video.m4a"), false},
        {"mp3 named flac", OpenThroughPlugin, Fixture("tagged.mp3"), false},
        {"flac mark then noise", OpenThroughPlugin, "fLaC" + noise, false},
        {"cut flac", OpenThroughPlugin, flac.substr(0, flac.size() / 3), true},
        {"cut m4a", OpenThroughPlugin, m4a.substr(0, m4a.size() / 3), true},
    };
}

} // namespace

TEST(FormatBadInput, EveryDamagedFileIsRefusedOrPlaysWhatIsValid) {
    for (const Damaged &file : DamagedFiles()) {
        SCOPED_TRACE(file.Name);
        Decoded decoded = DecodeBytes(file.Open, file.Bytes, 10000000);
        if (!file.MayOpen) {
            EXPECT_FALSE(decoded.Opened);
        }
        // What opens ends, and a cut file plays no more than its whole.
        EXPECT_LT(decoded.Samples.size(), 3000000u);
    }
}

// Flipped bits, overwritten runs, cut and duplicated pieces of real files,
// the headers hit hardest. Bounded to a few seconds.
TEST(FormatBadInput, FuzzedFilesNeverCrashHangOrReadPastTheirEnd) {
    struct Original {
        const char *Name;
        TQDECODEROPEN Open;
    } originals[] = {
        {"ogg-1ch-22050.ogg", OpenVorbisDecoder},    {"ogg-2ch-44100.ogg", OpenVorbisDecoder},
        {"tagged.ogg", OpenVorbisDecoder},           {"tta-16-1ch-44100.tta", OpenThroughPlugin},
        {"tta-24-2ch-48000.tta", OpenThroughPlugin}, {"tagged.tta", OpenThroughPlugin}};
    DWORD seed = 20261207;
    int opened = 0, rounds = 0;
    for (const Original &original : originals) {
        std::string bytes0 = Fixture(original.Name);
        ASSERT_FALSE(bytes0.empty()) << original.Name;
        ASSERT_NO_FATAL_FAILURE(DecodeMutations(original.Open, bytes0, 200, 128, &seed, &opened));
        rounds += 200;
    }
    EXPECT_GT(opened, rounds / 4);
}
