// ReplayGain as the device gets it: a plug-in's square wave with the gains
// and peaks its file states, in each mode, measured in the capture.
#include "capture_fixture.h"
#include "test_support.h"

#include <algorithm>
#include <math.h>

namespace {

#define RATE 8000
#define FRAMES 8000
#define AMPLITUDE 16000
#define LOUD 32000        // a peak of 0.9766
#define UNCHANGED 1000.0f // the level must be the untagged one, bit for bit

struct GainCase {
    const char *Name;
    DWORD Mode;
    DWORD GainFlags;
    float TrackGain, TrackPeak, AlbumGain, AlbumPeak;
    WORD Amplitude;
    int Volume;
    bool ModeWhilePaused; // the mode is set after the stream started, with it off before
    float WantDb;         // the level against the untagged one, or UNCHANGED
};

const float Nan = NAN;
const DWORD Track = TQ_GAIN_TRACK | TQ_PEAK_TRACK;
const DWORD Both = TQ_GAIN_TRACK | TQ_PEAK_TRACK | TQ_GAIN_ALBUM | TQ_PEAK_ALBUM;

void PrintTo(const GainCase &row, std::ostream *out) {
    *out << row.Name;
}

const GainCase Cases[] = {
    {"track gain", BASS_TQ_REPLAYGAIN_TRACK, Track, -6.5f, 0.5f, 0, 0, AMPLITUDE, 100, false,
     -6.5f},
    {"album gain", BASS_TQ_REPLAYGAIN_ALBUM, Both, -6.5f, 0.5f, -3.25f, 0.6f, AMPLITUDE, 100, false,
     -3.25f},
    {"album mode falls back to the track", BASS_TQ_REPLAYGAIN_ALBUM, Track, -4.0f, 0.5f, 0, 0,
     AMPLITUDE, 100, false, -4.0f},
    {"track mode ignores the album", BASS_TQ_REPLAYGAIN_TRACK, TQ_GAIN_ALBUM, 0, 0, -8.0f, 0,
     AMPLITUDE, 100, false, UNCHANGED},
    {"positive gain within the peak", BASS_TQ_REPLAYGAIN_TRACK, Track, 4.0f, 0.5f, 0, 0, AMPLITUDE,
     100, false, 4.0f},
    // 1 / 0.9766 is +0.206 dB: a higher gain would clip.
    {"high gain on a loud track limited by its peak", BASS_TQ_REPLAYGAIN_TRACK, Track, 12.0f,
     0.9766f, 0, 0, LOUD, 100, false, 0.206f},
    {"album peak limits the album gain", BASS_TQ_REPLAYGAIN_ALBUM, Both, 0, 0.5f, 9.0f, 0.8f,
     AMPLITUDE, 100, false, 1.938f},
    {"positive gain without a peak capped at 0 dB", BASS_TQ_REPLAYGAIN_TRACK, TQ_GAIN_TRACK, 5.0f,
     0, 0, 0, AMPLITUDE, 100, false, UNCHANGED},
    {"negative gain without a peak", BASS_TQ_REPLAYGAIN_TRACK, TQ_GAIN_TRACK, -2.0f, 0, 0, 0,
     AMPLITUDE, 100, false, -2.0f},
    {"gain and volume multiply", BASS_TQ_REPLAYGAIN_TRACK, Track, -6.0f, 0.5f, 0, 0, AMPLITUDE, 50,
     false, -12.0206f},
    {"mode off plays tagged tracks unchanged", BASS_TQ_REPLAYGAIN_OFF, Both, -6.0f, 0.5f, -6.0f,
     0.5f, AMPLITUDE, 100, false, UNCHANGED},
    {"untagged track unchanged", BASS_TQ_REPLAYGAIN_ALBUM, 0, -6.0f, 0.5f, -6.0f, 0.5f, AMPLITUDE,
     100, false, UNCHANGED},
    {"gain of NaN ignored", BASS_TQ_REPLAYGAIN_TRACK, Track, Nan, 0.5f, 0, 0, AMPLITUDE, 100, false,
     UNCHANGED},
    {"gain of plus 100 dB ignored", BASS_TQ_REPLAYGAIN_TRACK, Track, 100.0f, 0.5f, 0, 0, AMPLITUDE,
     100, false, UNCHANGED},
    {"gain of minus 100 dB ignored", BASS_TQ_REPLAYGAIN_TRACK, Track, -100.0f, 0.5f, 0, 0,
     AMPLITUDE, 100, false, UNCHANGED},
    {"infinite album gain falls back to the track", BASS_TQ_REPLAYGAIN_ALBUM, Both, -3.0f, 0.5f,
     INFINITY, 0.5f, AMPLITUDE, 100, false, -3.0f},
    {"negative peak ignored, so no positive gain", BASS_TQ_REPLAYGAIN_TRACK, Track, 3.0f, -0.5f, 0,
     0, AMPLITUDE, 100, false, UNCHANGED},
    {"NaN peak ignored", BASS_TQ_REPLAYGAIN_TRACK, Track, -4.0f, Nan, 0, 0, AMPLITUDE, 100, false,
     -4.0f},
    {"a mode set while the stream plays applies to it", BASS_TQ_REPLAYGAIN_TRACK, Track, -5.0f,
     0.5f, 0, 0, AMPLITUDE, 100, true, -5.0f},
};

class ReplayGain : public WaveOutCapture, public testing::WithParamInterface<GainCase> {
  protected:
    void TearDown() override {
        BASS_SetConfig(BASS_CONFIG_TQ_REPLAYGAIN, BASS_TQ_REPLAYGAIN_OFF);
        WaveOutCapture::TearDown();
        BASS_PluginFree(Plugin);
    }
    HPLUGIN Plugin = 0;
};

// The largest level of the first channel over the last quarter of the sound.
int LastLevel(const std::vector<short> &captured, DWORD frames) {
    int level = 0;
    for (size_t frame = frames * 3 / 4; frame < frames && frame * 2 < captured.size(); ++frame)
        level = std::max(level, abs((int)captured[frame * 2]));
    return level;
}

} // namespace

TEST_P(ReplayGain, ScalesTheLevelByTheGainWithinThePeak) {
    const GainCase &gain = GetParam();
    std::wstring path = TestFolder() + L"bass_testtone.dll";
    Plugin = BASS_PluginLoad((const char *)path.c_str(), BASS_UNICODE);
    ASSERT_NE(0u, Plugin);
    ToneHeader tone = {RATE, 2, FRAMES, 80, gain.Amplitude};
    tone.GainFlags = gain.GainFlags;
    tone.TrackGain = gain.TrackGain;
    tone.TrackPeak = gain.TrackPeak;
    tone.AlbumGain = gain.AlbumGain;
    tone.AlbumPeak = gain.AlbumPeak;
    ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_TQ_REPLAYGAIN,
                               gain.ModeWhilePaused ? BASS_TQ_REPLAYGAIN_OFF : gain.Mode));
    HSTREAM stream = Open(ToneFile(tone));
    ASSERT_NE(0u, stream);
    ASSERT_TRUE(BASS_ChannelSetAttributes(stream, -1, gain.Volume, -101));
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    if (gain.ModeWhilePaused) {
        ASSERT_TRUE(WaitUntilHeard(stream));
        ASSERT_TRUE(BASS_ChannelPause(stream));
        ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_TQ_REPLAYGAIN, gain.Mode));
        ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    }
    std::string captured = Captured();
    if (gain.WantDb == UNCHANGED) {
        ExpectSound(ToneSamples(tone), captured, 2);
        return;
    }
    int level = LastLevel(WithoutSilentFrames(Int16Samples(captured), 2), FRAMES);
    ASSERT_GT(level, 0);
    EXPECT_LE(level, 32767);
    EXPECT_NEAR(gain.WantDb, 20.0 * log10((double)level / gain.Amplitude), 0.05) << level;
}

INSTANTIATE_TEST_SUITE_P(Table, ReplayGain, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<GainCase> &info) {
                             return TestName(info.param.Name);
                         });

TEST(ReplayGainOption, TakesTheThreeModesAndNoOtherOption) {
    EXPECT_TRUE(BASS_SetConfig(BASS_CONFIG_TQ_REPLAYGAIN, BASS_TQ_REPLAYGAIN_ALBUM));
    EXPECT_FALSE(BASS_SetConfig(BASS_CONFIG_TQ_REPLAYGAIN, 3));
    EXPECT_FALSE(BASS_SetConfig(BASS_CONFIG_TQ_REPLAYGAIN, (DWORD)-1));
    EXPECT_FALSE(BASS_SetConfig(0, 0)); // the original library's buffer length: not ours
    EXPECT_TRUE(BASS_SetConfig(BASS_CONFIG_TQ_REPLAYGAIN, BASS_TQ_REPLAYGAIN_OFF));
}
