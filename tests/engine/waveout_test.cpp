// Streams played through waveOut into ALSA's file plug-in: what reaches the
// device, sample for sample.
#include <gtest/gtest.h>

#include "capture_fixture.h"
#include "test_support.h"

#include <math.h>

namespace {

class WaveOut : public WaveOutCapture {};

std::vector<short> Scaled(const std::vector<short> &samples, float gain) {
    std::vector<short> out;
    for (short sample : samples)
        out.push_back((short)lrintf(sample * gain));
    return out;
}

} // namespace

TEST_F(WaveOut, PlaysEverySampleAtFullVolume) {
    std::vector<short> samples = NoiseSamples(44100 / 4 * 2, 11, 32767);
    ASSERT_TRUE(BASS_ChannelPlay(Open(PcmWav(2, 44100, samples)), FALSE));
    ExpectPlayed(samples, Captured());
}

TEST_F(WaveOut, VolumeScalesAndZeroSilences) {
    std::vector<short> samples = NoiseSamples(8000 / 5, 12, 30000);
    HSTREAM stream = Open(PcmWav(1, 8000, samples));
    ASSERT_TRUE(BASS_ChannelSetAttributes(stream, 0, 50, 0));
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    ExpectPlayed(Scaled(samples, 0.5f), Captured());

    ASSERT_TRUE(BASS_Init(-1, 44100, 0, NULL, NULL));
    MakeScratchFolder(L"capture");
    stream = Open(PcmWav(1, 8000, samples));
    ASSERT_TRUE(BASS_ChannelSetAttributes(stream, 0, 0, 0));
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    ExpectPlayed(std::vector<short>(samples.size(), 0), Captured());
}

TEST_F(WaveOut, MonoFlagPlaysTheMeanOfTheChannels) {
    std::vector<short> samples = NoiseSamples(22050 / 5 * 2, 13, 30000);
    ASSERT_TRUE(BASS_ChannelPlay(
        Open(PcmWav(2, 22050, samples), BASS_STREAM_AUTOFREE | BASS_SAMPLE_MONO), FALSE));
    std::vector<short> mono;
    for (size_t i = 0; i < samples.size(); i += 2)
        mono.push_back((short)lrintf((samples[i] + samples[i + 1]) / 2.0f));
    ExpectPlayed(mono, Captured());
}

TEST_F(WaveOut, FloatFlagPlaysThirtyTwoBitFloats) {
    std::vector<short> samples = NoiseSamples(11025 / 5 * 2, 14, 30000);
    ASSERT_TRUE(BASS_ChannelPlay(
        Open(PcmWav(2, 11025, samples), BASS_STREAM_AUTOFREE | BASS_SAMPLE_FLOAT), FALSE));
    std::vector<float> floats;
    for (short sample : samples)
        floats.push_back(sample / 32768.0f);
    ExpectPlayed(floats, Captured());
}

// Paused once the device has played some of it: four seconds of sound, a
// second of time at this capture's pace, leave room for any load.
TEST_F(WaveOut, PauseAndResumeGoOnWhereTheyStopped) {
    std::vector<short> samples = NoiseSamples(44100 * 2 * 4, 15, 32767);
    HSTREAM stream = Open(PcmWav(2, 44100, samples));
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::vector<std::wstring> files = CaptureFiles(Folder);
            return !files.empty() && !ReadBytes(files[0]).empty();
        },
        5000))
        << "the device played nothing";
    ASSERT_TRUE(BASS_ChannelPause(stream));
    // The device stays paused for a while: any frame it lost or repeated
    // there shows below.
    EXPECT_FALSE(EndsWithin(300));
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    // Whatever silence the device made while paused, the sound itself goes
    // on without a frame lost or repeated.
    ExpectSound(samples, Captured(), 2);
}

TEST_F(WaveOut, PanSilencesTheFarSideAndFreqSetsThePlayingRate) {
    std::vector<short> samples = NoiseSamples(44100 / 10 * 2, 16, 30000);
    HSTREAM stream = Open(PcmWav(2, 44100, samples));
    ASSERT_TRUE(BASS_ChannelSetAttributes(stream, 22050, -1, 100));
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    std::vector<short> right;
    for (size_t i = 0; i < samples.size(); i += 2) {
        right.push_back(0);
        right.push_back(samples[i + 1]);
    }
    std::string captured = Captured();
    ExpectPlayed(right, captured);
    std::vector<std::wstring> files = CaptureFiles(Folder);
    ASSERT_EQ(1u, files.size());
    EXPECT_NE(std::wstring::npos, files[0].find(L"-22050-2-16")) << Utf8(files[0]);
}
