// Every kind through the decoder that reads it (the engine's own or the
// plug-in): lossless files bit for bit against their source (or, for WAV
// codings that FFmpeg reads for the engine, against Debian's ffmpeg), lossy
// files within one 16-bit step of Debian's ffmpeg decoding the same file, each with
// the same frame count (less the padding that MP4's edit list cuts), which is
// also the length the decoder states.
#include <gtest/gtest.h>

#include "engine/decoding/media_decoders.h"
#include "engine_support.h"
#include "plugin_support.h"

#include <algorithm>
#include <math.h>
#include <string.h>

namespace {

struct Exact {
    const char *File; // <kind>-<bits>-<channels>ch-<rate>.<ext>, bits 0 for lossy
    TQDECODEROPEN Open;
    DWORD Bits;       // of the reference's integers; 0: ffmpeg's floats
    bool LengthKnown; // ASF states no exact length
    // The reference's samples are floats (Bits 32) to be given exactly.
    bool Floats = false;
};

// A sample as a 16-bit output would hold it.
long Int16(double sample) {
    double scaled = floor(sample * 32768 + 0.5);
    return (long)(scaled < -32768 ? -32768 : scaled > 32767 ? 32767 : scaled);
}

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

double FloatValue(const std::string &raw, size_t index) {
    float value;
    memcpy(&value, raw.data() + index * sizeof value, sizeof value);
    return value;
}

DWORD NumberAfter(const std::string &name, const char *mark) {
    size_t at = name.find(mark);
    return at == std::string::npos ? 0 : (DWORD)atol(name.c_str() + at + strlen(mark));
}

std::vector<Exact> Files() {
    std::vector<Exact> files = {
        {"flac-16-1ch-44100.flac", OpenThroughPlugin, 16, true},
        {"flac-24-2ch-48000.flac", OpenThroughPlugin, 24, true},
        {"flac-16-6ch-48000.flac", OpenThroughPlugin, 16, true},
        {"flac-24-6ch-96000.flac", OpenThroughPlugin, 24, true},
        {"tta-16-1ch-44100.tta", OpenThroughPlugin, 16, true},
        {"tta-24-2ch-48000.tta", OpenThroughPlugin, 24, true},
        {"tta-16-6ch-48000.tta", OpenThroughPlugin, 16, true},
        {"tta-24-6ch-96000.tta", OpenThroughPlugin, 24, true},
        {"tta-8-2ch-22050.tta", OpenThroughPlugin, 8, true},
        {"alac-16-1ch-44100.m4a", OpenThroughPlugin, 16, true},
        {"alac-24-2ch-48000.m4a", OpenThroughPlugin, 24, true},
        {"mp4flac-16-1ch-44100.m4a", OpenThroughPlugin, 16, true},
        {"mp4flac-24-2ch-48000.m4a", OpenThroughPlugin, 24, true},
        {"mp4ac3-2ch-44100.m4a", OpenThroughPlugin, 0, true},
        {"mp4eac3-2ch-44100.m4a", OpenThroughPlugin, 0, true},
        {"mp4mp3-2ch-44100.m4a", OpenThroughPlugin, 0, true},
        {"mp4opus-2ch-48000.m4a", OpenThroughPlugin, 0, true},
        {"mp3-2ch-44100.mp3", OpenEngineMediaDecoder, 0, true},
        {"mp3-1ch-22050.mp3", OpenEngineMediaDecoder, 0, true},
        {"mp2-2ch-44100.mp2", OpenEngineMediaDecoder, 0, true},
        {"ogg-1ch-22050.ogg", OpenEngineMediaDecoder, 0, true},
        {"ogg-2ch-44100.ogg", OpenEngineMediaDecoder, 0, true},
        {"ogg-3ch-32000.ogg", OpenEngineMediaDecoder, 0, true},
        {"ogg-6ch-48000.ogg", OpenEngineMediaDecoder, 0, true},
        {"ogg-8ch-48000.ogg", OpenEngineMediaDecoder, 0, true},
        {"opus-2ch-48000.opus", OpenThroughPlugin, 0, true},
        {"opus-1ch-48000.opus", OpenThroughPlugin, 0, true},
        {"aac-2ch-44100.m4a", OpenThroughPlugin, 0, true},
        {"aac-1ch-48000.aac", OpenThroughPlugin, 0, true},
        {"wma2-2ch-44100.wma", OpenThroughPlugin, 0, false},
        {"wma1-1ch-48000.wma", OpenThroughPlugin, 0, false},
        {"wv-8-1ch-22050.wv", OpenThroughPlugin, 8, true},
        {"wv-16-2ch-44100.wv", OpenThroughPlugin, 16, true},
        {"wv-24-2ch-96000.wv", OpenThroughPlugin, 24, true},
        {"wv-16-6ch-48000.wv", OpenThroughPlugin, 16, true},
        {"wvf-32-2ch-48000.wv", OpenThroughPlugin, 32, true, true},
        {"wv-32-2ch-44100.wv", OpenThroughPlugin, 0, true},
        {"wvh-16-2ch-44100.wv", OpenThroughPlugin, 0, true},
        {"wava-16-1ch-8000.wav", OpenAnyDecoder, 32, true, true},
        {"wavu-16-2ch-8000.wav", OpenAnyDecoder, 32, true, true},
        {"wavxu-16-3ch-8000.wav", OpenAnyDecoder, 32, true, true},
        {"wavd-64-2ch-44100.wav", OpenAnyDecoder, 32, true, true},
        {"wavxd-64-3ch-48000.wav", OpenAnyDecoder, 32, true, true},
        {"wavr-24-3ch-48000.wav", OpenAnyDecoder, 24, true},
        {"wavb-16-2ch-44100.wav", OpenAnyDecoder, 16, true},
        {"wavx-24-3ch-48000.wav", OpenAnyDecoder, 24, true},
    };
    static const char *const apes[] = {"8-1ch", "8-2ch", "16-1ch", "16-2ch", "24-1ch", "24-2ch"};
    static std::vector<std::string> names;
    for (int level = 1; level <= 5; ++level)
        for (const char *layout : apes)
            names.push_back("ape" + std::to_string(level) + "-" + layout + "-44100.ape");
    for (const std::string &name : names)
        files.push_back({name.c_str(), OpenThroughPlugin, (DWORD)atol(name.c_str() + 5), true});
    return files;
}

} // namespace

TEST(Exactness, EveryKindDecodesAsItsReferenceWithItsExactLength) {
    for (const Exact &file : Files()) {
        SCOPED_TRACE(file.File);
        std::string name = file.File;
        Decoded decoded = DecodeFixture(file.Open, name);
        std::string raw = Fixture(name.substr(0, name.rfind('.')) + ".ref.raw");
        ASSERT_TRUE(decoded.Opened);
        DWORD channels = (DWORD)(name[name.find("ch-") - 1] - '0');
        EXPECT_EQ(NumberAfter(name, "ch-"), decoded.Rate);
        ASSERT_EQ(channels, decoded.Channels);
        size_t count = raw.size() / (file.Bits && !file.Floats ? file.Bits / 8 : sizeof(float));
        std::string stated = Fixture(name.substr(0, name.rfind('.')) + ".frames");
        if (!stated.empty())
            count = (size_t)atol(stated.c_str()) * channels;
        ASSERT_GT(count, 0u);
        ASSERT_EQ(count, decoded.Samples.size());
        EXPECT_EQ(file.LengthKnown ? count / channels : 0, decoded.Length);
        double worst = 0;
        long worstSteps = 0;
        for (size_t i = 0; i < count; ++i) {
            double want =
                file.Bits && !file.Floats ? RawValue(raw, i, file.Bits) : FloatValue(raw, i);
            worst = fmax(worst, fabs(want - decoded.Samples[i]));
            worstSteps = std::max(worstSteps, labs(Int16(want) - Int16(decoded.Samples[i])));
        }
        if (file.Bits)
            EXPECT_EQ(0, worst);
        else
            EXPECT_LE(worstSteps, 1);
    }
}
