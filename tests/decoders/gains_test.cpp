// ReplayGain from tags: the texts that tags hold, read strictly, and what
// each kind of tag gives through its decoder.
#include <gtest/gtest.h>

#include "engine/decoding/media_decoders.h"
#include "media/source.h"
#include "engine_support.h"
#include "media/gain_text.h"
#include "plugin_support.h"

TEST(Gains, TextsAreReadStrictly) {
    const struct {
        const char *Text;
        bool (*Parse)(const char *, float *);
        bool Valid;
        float Value;
    } cases[] = {
        {"-6.48 dB", ParseGainText, true, -6.48f},
        {"+2.5", ParseGainText, true, 2.5f},
        {" 3 db ", ParseGainText, true, 3.0f},
        {"-0.00 DB", ParseGainText, true, 0.0f},
        {"nan dB", ParseGainText, false, 0},
        {"inf", ParseGainText, false, 0},
        {"1e999", ParseGainText, false, 0},
        {"-100 dB", ParseGainText, false, 0},
        {"99999999999999999999999999999999999999", ParseGainText, false, 0},
        {"", ParseGainText, false, 0},
        {"dB", ParseGainText, false, 0},
        {"6,5 dB", ParseGainText, false, 0},
        {"-6.48 dB loud", ParseGainText, false, 0},
        {"--6", ParseGainText, false, 0},
        {"0.988553", ParsePeakText, true, 0.988553f},
        {"1.5", ParsePeakText, true, 1.5f},
        {"0", ParsePeakText, false, 0},
        {"-1", ParsePeakText, false, 0},
        {"0.5 dB", ParsePeakText, false, 0},
        {"1e999", ParsePeakText, false, 0},
        {"-512", ParseR128GainText, true, 3.0f},
        {"256", ParseR128GainText, true, 6.0f},
        {"0", ParseR128GainText, true, 5.0f},
        {"40000", ParseR128GainText, false, 0},
        {"-1.5", ParseR128GainText, false, 0},
        {"", ParseR128GainText, false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        float value = -1234;
        EXPECT_EQ(c.Valid, c.Parse(c.Text, &value));
        if (c.Valid) {
            EXPECT_NEAR(c.Value, value, 1e-6);
        }
    }
    float value = 0;
    EXPECT_FALSE(ParseGainText(NULL, &value));
}

TEST(Gains, EachKindOfTagGivesItsGains) {
    const struct {
        const char *File;
        TQDECODEROPEN Open;
        DWORD Flags;
        float TrackGain, TrackPeak, AlbumGain, AlbumPeak;
    } cases[] = {
        {"gains.flac", OpenThroughPlugin, 15, -6.48f, 0.988553f, 1.25f, 0.5f},
        {"gains.mp3", OpenEngineMediaDecoder, TQ_GAIN_TRACK | TQ_PEAK_TRACK, -3.1f, 0.75f, 0, 0},
        {"gains.opus", OpenThroughPlugin, TQ_GAIN_TRACK | TQ_GAIN_ALBUM, 3.0f, 0, 6.0f, 0},
        // Not a number, a peak below 0 and an infinite peak are left out.
        {"gains.ape", OpenThroughPlugin, TQ_GAIN_ALBUM, 0, 0, 2.5f, 0},
        {"gains.wv", OpenThroughPlugin, TQ_GAIN_TRACK | TQ_PEAK_ALBUM, -4.75f, 0, 0, 0.8125f},
        {"tagged.flac", OpenThroughPlugin, 0, 0, 0, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.File);
        std::string bytes = Fixture(c.File);
        TQSOURCE source;
        ASSERT_TRUE(OpenMemorySource(bytes.data(), (DWORD)bytes.size(), &source));
        TQDECODER decoder = {};
        ASSERT_TRUE(c.Open(&source, &decoder));
        EXPECT_EQ(c.Flags, decoder.GainFlags);
        EXPECT_NEAR(c.TrackGain, decoder.TrackGain, 1e-5);
        EXPECT_NEAR(c.TrackPeak, decoder.TrackPeak, 1e-5);
        EXPECT_NEAR(c.AlbumGain, decoder.AlbumGain, 1e-5);
        EXPECT_NEAR(c.AlbumPeak, decoder.AlbumPeak, 1e-5);
        decoder.Close(decoder.State);
        CloseSource(&source);
    }
}
