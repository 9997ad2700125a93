// Streams played through waveOut into ALSA's file plug-in (the test runs with
// ALSA_CONFIG_PATH naming a file pcm): what reaches the device, sample for
// sample, one capture file for each time the engine opens the device.
#ifndef TONQUIL_TESTS_CAPTURE_FIXTURE_H
#define TONQUIL_TESTS_CAPTURE_FIXTURE_H

#include <gtest/gtest.h>

#include "engine_support.h"

#include <string.h>

class WaveOutCapture : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Opens file from memory, kept by the fixture, with an end sync armed.
    HSTREAM Open(const std::string &file, DWORD flags = BASS_STREAM_AUTOFREE);
    // Waits for the stream's end sync and then until it has been heard to its end.
    void WaitHeard();
    // Whether the end sync runs within ms.
    bool EndsWithin(DWORD ms);
    // Everything the device was given, file by file, once the stream has been
    // heard to its end (the end sync comes while the device still holds its
    // tail) and the engine is freed.
    std::vector<std::string> CapturedFiles();
    // The same when the device was opened once.
    std::string Captured();
    std::wstring Folder;
    std::string Bytes;
    HSTREAM Stream;
};

// The device keeps playing silence for a moment after the end; nothing else may follow.
template <typename Sample>
void ExpectPlayed(const std::vector<Sample> &want, const std::string &captured) {
    ASSERT_GE(captured.size(), want.size() * sizeof(Sample));
    std::vector<Sample> got(captured.size() / sizeof(Sample));
    memcpy(got.data(), captured.data(), got.size() * sizeof(Sample));
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(want[i], got[i]) << "sample " << i;
    for (size_t i = want.size(); i < got.size(); ++i)
        ASSERT_EQ(0, got[i]) << "after the end, sample " << i;
}

// The frames that are not all silence: a device that runs dry in the middle
// of a sound (Wine's ALSA driver then writes silence) adds nothing else.
template <typename Sample>
std::vector<Sample> WithoutSilentFrames(const std::vector<Sample> &samples, DWORD channels) {
    std::vector<Sample> kept;
    for (size_t frame = 0; frame + channels <= samples.size(); frame += channels) {
        bool silent = true;
        for (DWORD channel = 0; channel < channels; ++channel)
            silent = silent && samples[frame + channel] == 0;
        if (!silent)
            kept.insert(kept.end(), samples.begin() + frame, samples.begin() + frame + channels);
    }
    return kept;
}

// The sound of want, and nothing else, whatever silence came around it.
template <typename Sample>
void ExpectSound(const std::vector<Sample> &want, const std::string &captured, DWORD channels) {
    std::vector<Sample> got(captured.size() / sizeof(Sample));
    if (!got.empty())
        memcpy(got.data(), captured.data(), got.size() * sizeof(Sample));
    std::vector<Sample> sound = WithoutSilentFrames(want, channels);
    std::vector<Sample> heard = WithoutSilentFrames(got, channels);
    ASSERT_EQ(sound.size(), heard.size());
    for (size_t i = 0; i < sound.size(); ++i)
        ASSERT_EQ(sound[i], heard[i]) << "sample " << i;
}

#endif
