// The real player with the real engine plays a sweep cut into tracks, through
// Wine's sound driver into a private PulseAudio whose sink runs on the system
// clock (with-pulse.sh): a real-time capture of the joins between tracks.
#include <gtest/gtest.h>

#include "pulse_capture.h"
#include "running_player.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <mmsystem.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

namespace {

#define SOUND_LEVEL 64 // above this a captured sample counts as sound

struct Join {
    const char *Name;
    std::vector<std::string> Files; // from the pieces folder, played in this order
    int Slack;                      // LSBs the decoder may differ from lame's decoding
    bool FormatChange;              // the last track has another rate: its gap is measured
};

// Plays the files as a playlist in order, once, and gives what the sink
// played meanwhile.
std::vector<short> PlayAndCapture(const Join &join, DWORD playMs) {
    std::wstring folder = PlayerFolder(L"player");
    CopyEngineInto(folder);
    std::string playlist;
    for (const std::string &file : join.Files) {
        CopyInto(Pieces() + Wide(file), folder + Wide(file));
        playlist += file + "\r\n";
    }
    WriteBytes(folder + L"tonquil.m3u", playlist);
    WriteBytes(folder + L"tonquil.ini", "[Client]\r\nPlayMode=1\r\n");
    size_t from = CapturedBytes();

    RunningPlayer player = StartPlayer(folder);
    EXPECT_NE(nullptr, player.window);
    Ask(player.window, CM_SETTRACKNO, 0);
    DWORD start = GetTickCount();
    EXPECT_EQ(1, Ask(player.window, CM_PLAY));
    // In list order until the last track starts, which then ends the play.
    LRESULT last = (LRESULT)join.Files.size() - 1;
    WaitUntil([&] { return Ask(player.window, CM_GETTRACKNO) == last; }, playMs);
    Ask(player.window, CM_SETPLAYMODE, 0);
    DWORD elapsed = GetTickCount() - start;
    Sleep(elapsed < playMs ? playMs - elapsed : 0);
    CloseAndWait(player);
    return Samples(ReadBytes(CaptureFile()).substr(from));
}

struct Walk {
    size_t End;               // in got, after want's last frame
    std::vector<long> Joins;  // frames of silence where each track began
    std::vector<long> Stalls; // frames of silence the sound system put elsewhere
    std::string Fault;        // empty when every frame of want came, in order
};

// Follows want through got from at, frame by frame. Where the capture is
// silent instead, want must go on where it stopped: frames neither lost nor
// repeated. Silence at a track's first frame is a gap in the join; elsewhere
// it is the sound system falling behind (this machine is shared).
Walk Follow(const std::vector<short> &got, size_t at, const std::vector<short> &want,
            const std::vector<size_t> &starts, int slack) {
    Walk walk = {at, std::vector<long>(starts.size(), 0), {}, ""};
    size_t from = 0;
    while (from < want.size()) {
        if (walk.End + 2 > got.size()) {
            walk.Fault = std::to_string((want.size() - from) / 2) + " frames never came";
            break;
        }
        if (FrameMatches(got, walk.End, want, from, slack)) {
            walk.End += 2;
            from += 2;
            continue;
        }
        size_t silent = walk.End;
        while (walk.End + 2 <= got.size() && got[walk.End] == 0 && got[walk.End + 1] == 0 &&
               !FrameMatches(got, walk.End, want, from, slack))
            walk.End += 2;
        if (walk.End == silent) {
            walk.Fault = "a wrong sample at frame " + std::to_string(from / 2);
            break;
        }
        long frames = (long)(walk.End - silent) / 2;
        size_t track = std::find(starts.begin(), starts.end(), from) - starts.begin();
        if (track < starts.size())
            walk.Joins[track] = frames;
        else
            walk.Stalls.push_back(frames);
    }
    return walk;
}

std::string Listed(const std::vector<long> &values) {
    std::string text;
    for (long value : values)
        text += (text.empty() ? "" : " ") + std::to_string(value);
    return text.empty() ? "none" : text + " frames";
}

size_t FirstSound(const std::vector<short> &got, size_t from) {
    for (size_t at = from; at < got.size(); ++at)
        if (abs(got[at]) > SOUND_LEVEL)
            return at & ~(size_t)1;
    return got.size();
}

// Frames of sound from at up to the first tenth of a second of silence.
size_t SoundFrames(const std::vector<short> &got, size_t at) {
    size_t end = at, quiet = 0;
    for (size_t i = at; i + 1 < got.size() && quiet < CAPTURE_RATE / 10 * 2; i += 2)
        if (abs(got[i]) > SOUND_LEVEL || abs(got[i + 1]) > SOUND_LEVEL) {
            end = i + 2;
            quiet = 0;
        } else {
            quiet += 2;
        }
    return (end - at) / 2;
}

int MaxDifference(const std::vector<short> &got, size_t at, const std::vector<short> &want) {
    int most = 0;
    for (size_t i = 0; i < want.size() && at + i < got.size(); ++i)
        most = std::max(most, abs(got[at + i] - want[i]));
    return most;
}

} // namespace

TEST(Gapless, ConsecutiveTracksJoinInTheRealTimeCapture) {
    if (!getenv("TONQUIL_CAPTURE"))
        GTEST_SKIP() << "run through tests/gapless/with-pulse.sh";
    ASSERT_GT(waveOutGetNumDevs(), 0u) << "Wine found no PulseAudio device";
    const Join joins[] = {
        {"WAV, WAV, WAV", {"piece-1.wav", "piece-2.wav", "piece-3.wav"}, 0, false},
        {"MP3, MP3, MP3", {"piece-1.mp3", "piece-2.mp3", "piece-3.mp3"}, 4, false},
        {"WAV, MP3", {"piece-1.wav", "piece-2.mp3"}, 4, false},
        {"WAV 44.1 kHz, WAV 48 kHz", {"piece-1.wav", "other.wav"}, 0, true},
    };
    std::vector<short> whole = Samples(ReadBytes(Pieces() + L"whole.raw"));
    for (const Join &join : joins) {
        SCOPED_TRACE(join.Name);
        // The tracks of one format, joined as they should sound.
        std::vector<short> joined;
        std::vector<size_t> starts;
        for (size_t i = 0; i < join.Files.size() - (join.FormatChange ? 1 : 0); ++i) {
            std::vector<short> want = Reference(join.Files[i]);
            starts.push_back(joined.size());
            joined.insert(joined.end(), want.begin(), want.end());
        }
        // A loaded machine can stall the sound system anywhere, a join
        // included: a capture that stalled elsewhere too is taken again, up to
        // three times. A capture the sound system played steadily must have
        // seamless joins.
        std::vector<short> got;
        size_t at = 0;
        Walk walk;
        for (int take = 0; take < 3; ++take) {
            got = PlayAndCapture(join, 4500);
            at = FindSound(got, 0, joined, join.Slack);
            ASSERT_NE(std::string::npos, at) << "the first track is not in the capture";
            walk = Follow(got, at, joined, starts, join.Slack);
            bool seamless =
                std::count(walk.Joins.begin(), walk.Joins.end(), 0) == (long)walk.Joins.size();
            if (seamless || walk.Stalls.empty())
                break;
        }
        EXPECT_EQ("", walk.Fault);
        for (size_t i = 0; i < starts.size(); ++i)
            EXPECT_EQ(0, walk.Joins[i]) << "silence before " << join.Files[i];
        printf("[ FIGURES  ] %s: silence at the joins: %s; stalls elsewhere: %s", join.Name,
               Listed(std::vector<long>(walk.Joins.begin() + 1, walk.Joins.end())).c_str(),
               Listed(walk.Stalls).c_str());
        if (!join.FormatChange) {
            if (walk.Stalls.empty())
                printf(
                    "; off the uncut sweep by at most %d LSB",
                    MaxDifference(
                        got, at, std::vector<short>(whole.begin(), whole.begin() + joined.size())));
            printf("\n");
            continue;
        }
        // Another rate: the device reopens after the tail, and the sink
        // resamples the second track (a second long), which must still play in
        // full; a stall of the sound system may lengthen it a little.
        size_t next = FirstSound(got, walk.End);
        size_t frames = SoundFrames(got, next);
        printf("; gap %.1f ms (%ld frames) at the change of rate, then %zu frames of sound\n",
               (next - walk.End) / 2 * 1000.0 / CAPTURE_RATE, (long)(next - walk.End) / 2, frames);
        EXPECT_LT(next - walk.End, (size_t)CAPTURE_RATE * 2) << "more than a second of silence";
        EXPECT_GE(frames, (size_t)CAPTURE_RATE * 99 / 100);
        EXPECT_LE(frames, (size_t)CAPTURE_RATE * 105 / 100);
    }
}
