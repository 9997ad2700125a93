// Seeking at the decoder, one file of each kind: at the first frame, in the
// middle and at the last frame, what follows is what decoding from the start
// gives there (bit for bit where lossless; for lossy kinds, once a codec frame
// has passed, within one 16-bit step); past the end is refused and changes
// nothing.
#include <gtest/gtest.h>

#include "engine/decoding/media_decoders.h"
#include "media/source.h"
#include "engine_support.h"
#include "plugin_support.h"

#include <math.h>

namespace {

struct SeekCase {
    const char *File;
    TQDECODEROPEN Open;
    bool Lossless;
};

const SeekCase Cases[] = {
    {"mp3-2ch-44100.mp3", OpenEngineMediaDecoder, false},
    {"mp3-1ch-22050.mp3", OpenEngineMediaDecoder, false},
    {"mp2-2ch-44100.mp2", OpenEngineMediaDecoder, false},
    {"ogg-2ch-44100.ogg", OpenEngineMediaDecoder, false},
    {"opus-2ch-48000.opus", OpenThroughPlugin, false},
    {"aac-2ch-44100.m4a", OpenThroughPlugin, false},
    {"mp4mp3-2ch-44100.m4a", OpenThroughPlugin, false},
    {"aac-1ch-48000.aac", OpenThroughPlugin, false},
    {"wma2-2ch-44100.wma", OpenThroughPlugin, false},
    {"flac-24-2ch-48000.flac", OpenThroughPlugin, true},
    {"tta-16-6ch-48000.tta", OpenThroughPlugin, true},
    {"alac-16-1ch-44100.m4a", OpenThroughPlugin, true},
    {"ape3-16-2ch-44100.ape", OpenThroughPlugin, true},
    {"ape5-24-1ch-44100.ape", OpenThroughPlugin, true},
    {"wv-24-2ch-96000.wv", OpenThroughPlugin, true},
    {"wvf-32-2ch-48000.wv", OpenThroughPlugin, true},
    {"wvh-16-2ch-44100.wv", OpenThroughPlugin, false},
    {"wavd-64-2ch-44100.wav", OpenAnyDecoder, true},
    {"wavr-24-3ch-48000.wav", OpenAnyDecoder, true},
    {"wavxu-16-3ch-8000.wav", OpenAnyDecoder, true},
};

// The largest codec frame among the lossy kinds (WMA's 2048, Vorbis's long
// blocks) that may differ after a seek.
const size_t CodecFrame = 2048;
const double OneStep = 1.0 / 32768;

std::vector<float> ReadRest(const TQDECODER &decoder, size_t most) {
    std::vector<float> samples, block(4096 * (size_t)decoder.Channels);
    for (DWORD got;
         samples.size() < most && (got = decoder.Read(decoder.State, block.data(), 4096)) > 0;)
        samples.insert(samples.end(), block.begin(),
                       block.begin() + (size_t)got * decoder.Channels);
    return samples;
}

} // namespace

TEST(Seek, EveryKindSeeksToTheExactFrame) {
    for (const SeekCase &c : Cases) {
        SCOPED_TRACE(c.File);
        std::string bytes = Fixture(c.File);
        Decoded whole = DecodeBytes(c.Open, bytes);
        ASSERT_TRUE(whole.Opened);
        TQSOURCE source;
        ASSERT_TRUE(OpenMemorySource(bytes.data(), (DWORD)bytes.size(), &source));
        TQDECODER decoder = {};
        ASSERT_TRUE(c.Open(&source, &decoder));
        ASSERT_NE(nullptr, decoder.Seek);
        ULONGLONG frames = whole.Samples.size() / whole.Channels;
        const ULONGLONG targets[] = {frames / 2, 0, frames - 1, frames / 3};
        for (ULONGLONG target : targets) {
            SCOPED_TRACE(target);
            ASSERT_TRUE(decoder.Seek(decoder.State, target));
            std::vector<float> rest = ReadRest(decoder, whole.Samples.size());
            ASSERT_EQ(whole.Samples.size() - target * whole.Channels, rest.size());
            size_t from = c.Lossless || target == 0 ? 0 : CodecFrame * whole.Channels;
            double worst = 0;
            for (size_t i = from; i < rest.size(); ++i)
                worst = fmax(worst, fabs(rest[i] - whole.Samples[target * whole.Channels + i]));
            EXPECT_LE(worst, c.Lossless ? 0 : OneStep);
        }
        // Refused past the end: the next read goes on from where it was.
        ASSERT_TRUE(decoder.Seek(decoder.State, frames / 4));
        EXPECT_FALSE(decoder.Seek(decoder.State, frames));
        EXPECT_FALSE(decoder.Seek(decoder.State, frames + 100000));
        std::vector<float> rest = ReadRest(decoder, whole.Samples.size());
        EXPECT_EQ(whole.Samples.size() - frames / 4 * whole.Channels, rest.size());
        decoder.Close(decoder.State);
        CloseSource(&source);
    }
}
