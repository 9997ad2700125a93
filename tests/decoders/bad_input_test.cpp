// Hostile and damaged files for every kind, through the engine's own decoder
// and the plug-in (TAK's built by hand: nothing in Debian encodes TAK): each
// is refused cleanly or plays what is valid, a kind is read only by its own
// side whatever it is called, a bounded fuzz run of mutated fixtures stays
// within its memory, and refusals leak nothing.
#include <gtest/gtest.h>

#include "engine/decoding/media_decoders.h"
#include "engine_support.h"
#include "plugin_support.h"

#include <psapi.h>

namespace {

struct Damaged {
    const char *Name;
    TQDECODEROPEN Open;
    std::string Bytes;
    bool MayOpen;
};

// The page CRC of Ogg: polynomial 0x04C11DB7, not reflected, no final xor.
DWORD OggCrc(const std::string &page) {
    DWORD crc = 0;
    for (unsigned char byte : page) {
        crc ^= (DWORD)byte << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc << 1) ^ (crc & 0x80000000u ? 0x04C11DB7u : 0);
    }
    return crc;
}

size_t OggPageSize(const std::string &ogg, size_t at) {
    size_t segments = (unsigned char)ogg[at + 26];
    size_t size = 27 + segments;
    for (size_t i = 0; i < segments; ++i)
        size += (unsigned char)ogg[at + 27 + i];
    return size;
}

// The page that holds byte at, with its CRC made right again.
void FixOggPage(std::string *ogg, size_t at) {
    size_t page = ogg->rfind("OggS", at);
    size_t size = OggPageSize(*ogg, page);
    for (int i = 0; i < 4; ++i)
        (*ogg)[page + 22 + i] = 0;
    DWORD crc = OggCrc(ogg->substr(page, size));
    for (int i = 0; i < 4; ++i)
        (*ogg)[page + 22 + i] = (char)(crc >> (8 * i));
}

void PutLittle(std::string *bytes, size_t at, DWORD value, int count) {
    for (int i = 0; i < count; ++i)
        (*bytes)[at + i] = (char)(value >> (8 * i));
}

// A copy of the second page under another stream's serial, between the
// first two header pages.
std::string OggForeignPage(const std::string &ogg) {
    size_t second = OggPageSize(ogg, 0);
    std::string foreign = ogg.substr(second, OggPageSize(ogg, second));
    PutLittle(&foreign, 14, 0x5EED5EED, 4);
    FixOggPage(&foreign, 0);
    return ogg.substr(0, second) + foreign + ogg.substr(second);
}

std::string OggCommentCount(std::string ogg, DWORD count) {
    size_t header = ogg.find("\x03vorbis");
    size_t vendor = (unsigned char)ogg[header + 7] | (unsigned char)ogg[header + 8] << 8;
    PutLittle(&ogg, header + 11 + vendor, count, 4);
    FixOggPage(&ogg, header);
    return ogg;
}

// The first codebook of the setup header claims 0xFFFF dimensions and
// 0xFFFFFF entries.
std::string OggHugeCodebook(std::string ogg) {
    size_t book = ogg.find("BCV", ogg.find("\x05vorbis"));
    PutLittle(&ogg, book + 3, 0xFFFF, 2);
    PutLittle(&ogg, book + 5, 0xFFFFFF, 3);
    FixOggPage(&ogg, book);
    return ogg;
}

// Monkey's Audio: the header follows the descriptor, whose size it states.
std::string ApeHeaderField(std::string ape, size_t field, DWORD value, int count) {
    size_t descriptor = (unsigned char)ape[8] | (unsigned char)ape[9] << 8;
    PutLittle(&ape, descriptor + field, value, count);
    return ape;
}

// Fields packed from the lowest bit of each byte up, as TAK stores them.
struct LowBitsFirst {
    std::string Bytes;
    int Used = 0; // bits of Bytes
    void Put(unsigned long long value, int bits) {
        for (int i = 0; i < bits; ++i, ++Used) {
            if (Used % 8 == 0)
                Bytes += '\0';
            Bytes.back() = (char)(Bytes.back() | (((value >> i) & 1) << (Used % 8)));
        }
    }
};

// A TAK file's start: its mark, a stream-info block of 44.1 kHz 16-bit
// stereo and frames of 4096 samples (its CRC left zero: FFmpeg only notes a
// wrong one), and the end of the metadata. No Debian package encodes TAK, so
// no frame that decodes follows.
std::string TakHeader() {
    LowBitsFirst info;
    info.Put(2, 6);             // codec: mono or stereo
    info.Put(0, 4);             // profile
    info.Put(1, 4);             // frame duration
    info.Put(441000, 35);       // samples
    info.Put(0, 3);             // data type
    info.Put(44100 - 6000, 18); // rate
    info.Put(16 - 8, 5);        // bits
    info.Put(2 - 1, 4);         // channels
    info.Put(0, 1);             // no channel layout
    std::string block = info.Bytes + std::string(3, '\0');
    std::string header = "tBaK\x01";
    for (int i = 0; i < 3; ++i)
        header += (char)(block.size() >> (8 * i));
    return header + block + std::string(4, '\0');
}

std::string Noise(size_t size, DWORD seed) {
    std::string noise(size, '\0');
    for (char &byte : noise)
        byte = (char)NextRandom(&seed);
    return noise;
}

std::vector<Damaged> DamagedFiles() {
    std::string ogg = Fixture("ogg-2ch-44100.ogg");
    std::string ape = Fixture("ape2-16-2ch-44100.ape");
    std::string noise = Noise(200000, 77);
    std::string tak = TakHeader();
    // A stream of frame marks whose headers are noise.
    std::string takMarks;
    for (int i = 0; i < 4000; ++i)
        takMarks += "\xFF\xA0" + Noise(48, (DWORD)i);
    std::vector<Damaged> files = {
        {"ogg page of another serial in the headers", OpenEngineMediaDecoder, OggForeignPage(ogg),
         true},
        {"vorbis comment count 0x40000001", OpenEngineMediaDecoder,
         OggCommentCount(ogg, 0x40000001), true},
        {"vorbis comment count 0xFFFFFFFF", OpenEngineMediaDecoder,
         OggCommentCount(ogg, 0xFFFFFFFF), true},
        {"vorbis codebook of 16M entries", OpenEngineMediaDecoder, OggHugeCodebook(ogg), false},
        {"ape of 4G frames", OpenThroughPlugin, ApeHeaderField(ape, 12, 0xF0000000u, 4), false},
        {"ape of zero blocks a frame", OpenThroughPlugin, ApeHeaderField(ape, 4, 0, 4), true},
        {"ape of unknown version", OpenThroughPlugin, ape.substr(0, 4) + "\x0F\x27" + ape.substr(6),
         false},
        {"ape of an old version", OpenThroughPlugin, ape.substr(0, 4) + "\x64\x00" + ape.substr(6),
         true},
        {"flac named mp3 through the engine", OpenEngineMediaDecoder, Fixture("tagged.flac"),
         false},
        {"ape through the engine", OpenEngineMediaDecoder, ape, false},
        {"opus through the engine", OpenEngineMediaDecoder, Fixture("tagged.opus"), false},
        {"mp3 through the plug-in", OpenThroughPlugin, Fixture("tagged.mp3"), false},
        {"vorbis through the plug-in", OpenThroughPlugin, ogg, false},
        {"mp4 without audio", OpenThroughPlugin, Fixture("video.m4a"), false},
        {"wavpack through the engine", OpenEngineMediaDecoder, Fixture("tagged.wv"), false},
        {"a-law wav through the plug-in", OpenThroughPlugin, Fixture("wava-16-1ch-8000.wav"),
         false},
        {"rf64 wav through the plug-in", OpenThroughPlugin, Fixture("wavr-24-3ch-48000.wav"),
         false},
        {"tak mark alone", OpenThroughPlugin, "tBaK", false},
        {"tak cut in its stream info", OpenThroughPlugin, tak.substr(0, 12), false},
        {"tak cut after its metadata", OpenThroughPlugin, tak, false},
        {"tak of a 16 MB stream info", OpenThroughPlugin, "tBaK\x01\xFF\xFF\xFF" + noise, false},
        {"tak of a stream info too short", OpenThroughPlugin, "tBaK\x01\x03\x00\x00" + noise,
         false},
        {"tak stream info twice", OpenThroughPlugin, tak.substr(0, tak.size() - 4) + tak.substr(4),
         false},
        {"tak of noise frames", OpenThroughPlugin, tak + noise, false},
        {"tak of frame marks and noise", OpenThroughPlugin, tak + takMarks, false},
        {"tak mark and noise", OpenThroughPlugin, "tBaK" + noise, false},
        {"tak through the engine", OpenEngineMediaDecoder, tak + takMarks, false},
        {"empty, engine", OpenEngineMediaDecoder, "", false},
        {"empty, plug-in", OpenThroughPlugin, "", false},
        {"noise, engine", OpenEngineMediaDecoder, noise, true},
        {"noise, plug-in", OpenThroughPlugin, noise, true},
    };
    // Every kind cut short, cut inside its headers, and its first bytes
    // followed by noise.
    const struct {
        const char *File;
        TQDECODEROPEN Open;
    } kinds[] = {
        {"tagged.mp3", OpenEngineMediaDecoder},     {"tagged.mp2", OpenEngineMediaDecoder},
        {"tagged.ogg", OpenEngineMediaDecoder},     {"tagged.opus", OpenThroughPlugin},
        {"tagged.flac", OpenThroughPlugin},         {"tagged.tta", OpenThroughPlugin},
        {"tagged.ape", OpenThroughPlugin},          {"tagged.m4a", OpenThroughPlugin},
        {"tagged.mp4", OpenThroughPlugin},          {"tagged.aac", OpenThroughPlugin},
        {"tagged.wma", OpenThroughPlugin},          {"tagged.wv", OpenThroughPlugin},
        {"wvh-16-2ch-44100.wv", OpenThroughPlugin}, {"wava-16-1ch-8000.wav", OpenAnyDecoder},
        {"wavd-64-2ch-44100.wav", OpenAnyDecoder},  {"wavr-24-3ch-48000.wav", OpenAnyDecoder}};
    static std::vector<std::string> names;
    names.reserve(3 * sizeof kinds / sizeof kinds[0]);
    for (const auto &kind : kinds) {
        std::string bytes = Fixture(kind.File);
        names.push_back(std::string("cut ") + kind.File);
        files.push_back({names.back().c_str(), kind.Open, bytes.substr(0, bytes.size() / 3), true});
        names.push_back(std::string("header of ") + kind.File);
        files.push_back({names.back().c_str(), kind.Open, bytes.substr(0, 40), true});
        names.push_back(std::string("noise after the start of ") + kind.File);
        files.push_back({names.back().c_str(), kind.Open, bytes.substr(0, 16) + noise, true});
    }
    return files;
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS *)&counters,
                         sizeof counters);
    return counters.PrivateUsage;
}

} // namespace

TEST(FormatBadInput, EveryHostileFileIsRefusedOrPlaysWhatIsValid) {
    for (const Damaged &file : DamagedFiles()) {
        SCOPED_TRACE(file.Name);
        Decoded decoded = DecodeBytes(file.Open, file.Bytes, 10000000);
        if (!file.MayOpen) {
            EXPECT_FALSE(decoded.Opened);
        }
        // What opens ends, and a damaged file plays no more than a few seconds.
        EXPECT_LT(decoded.Samples.size(), 3000000u);
    }
}

// Flipped bits, overwritten runs, cut and duplicated pieces of a file of
// every kind, the headers hit hardest, through the engine and the plug-in;
// the process's memory stays bounded.
TEST(FormatBadInput, FuzzedFilesNeverCrashHangOrGrowWithoutBound) {
    const struct {
        const char *Name;
        TQDECODEROPEN Open;
    } originals[] = {{"tagged.mp3", OpenEngineMediaDecoder},
                     {"tagged.mp2", OpenEngineMediaDecoder},
                     {"ogg-1ch-22050.ogg", OpenEngineMediaDecoder},
                     {"opus-1ch-48000.opus", OpenThroughPlugin},
                     {"flac-16-1ch-44100.flac", OpenThroughPlugin},
                     {"tta-8-2ch-22050.tta", OpenThroughPlugin},
                     {"ape3-16-1ch-44100.ape", OpenThroughPlugin},
                     {"aac-1ch-48000.aac", OpenThroughPlugin},
                     {"tagged.m4a", OpenThroughPlugin},
                     {"alac-16-1ch-44100.m4a", OpenThroughPlugin},
                     {"wma1-1ch-48000.wma", OpenThroughPlugin},
                     {"wv-16-2ch-44100.wv", OpenThroughPlugin},
                     {"wvh-16-2ch-44100.wv", OpenThroughPlugin},
                     {"wavxu-16-3ch-8000.wav", OpenAnyDecoder},
                     {"wavd-64-2ch-44100.wav", OpenAnyDecoder},
                     {"wavr-24-3ch-48000.wav", OpenAnyDecoder}};
    const int rounds = 40;
    DWORD seed = 20261208;
    int opened = 0;
    SIZE_T before = PrivateBytes();
    for (const auto &original : originals) {
        SCOPED_TRACE(original.Name);
        std::string bytes = Fixture(original.Name);
        ASSERT_FALSE(bytes.empty());
        ASSERT_NO_FATAL_FAILURE(DecodeMutations(original.Open, bytes, rounds, 128, &seed, &opened));
    }
    EXPECT_GT(opened, rounds * (int)(sizeof originals / sizeof originals[0]) / 4);
    EXPECT_LT(PrivateBytes(), before + 64u * 1024 * 1024);
}

// Opus is refused by the engine only once FFmpeg has opened and probed it,
// so every refusal runs the whole way through the demuxer and decoder.
TEST(FormatBadInput, AThousandRefusedOpensLeaveMemoryFlat) {
    std::string refused = Fixture("tagged.opus");
    for (int i = 0; i < 50; ++i)
        DecodeBytes(OpenEngineMediaDecoder, refused);
    SIZE_T before = PrivateBytes();
    for (int i = 0; i < 1000; ++i)
        ASSERT_FALSE(DecodeBytes(OpenEngineMediaDecoder, refused).Opened);
    EXPECT_LT(PrivateBytes(), before + 1024 * 1024);
}
