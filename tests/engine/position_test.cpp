// Length, position and exact seeking through the calls, for the engine's WAV
// decoder and for a plug-in that seeks by itself, has no Seek, refuses every
// seek, or cannot tell its length: what the device plays after a seek is the
// stream from that very frame on, to its end and no further.
#include "capture_fixture.h"
#include "test_support.h"

#include <math.h>

namespace {

#define RATE 8000
#define FRAMES 6000
#define MIDDLE 3007
#define LAST (FRAMES - 1)
#define ABSURD ((QWORD)-1) // as bytes: no frame of any stream
#define TAIL_FRAMES 1600

enum Kind { Wav, WavMono, WavFloat, Tone, ToneNoSeek, ToneRefusing, ToneNoLength, ToneHugeLength };
// When the seek comes: before the first play, while playing, while paused,
// after a stop, or just after the stream was queued behind another's tail.
enum When { BeforePlay, Playing, Paused, AfterStop, BehindTail };

struct SeekCase {
    const char *Name;
    Kind Kind;
    When When;
    QWORD Frame;      // or ABSURD
    DWORD ExtraBytes; // added to the frame's bytes: a position inside a frame
    bool Accepted;
};

void PrintTo(const SeekCase &row, std::ostream *out) {
    *out << row.Name;
}

const SeekCase Cases[] = {
    {"wav first frame before play", Wav, BeforePlay, 0, 0, true},
    {"wav middle, inside a frame, before play", Wav, BeforePlay, MIDDLE, 3, true},
    {"wav last frame before play", Wav, BeforePlay, LAST, 0, true},
    {"wav end refused", Wav, BeforePlay, FRAMES, 0, false},
    {"wav absurd position refused while playing", Wav, Playing, ABSURD, 0, false},
    {"wav mono middle while playing", WavMono, Playing, MIDDLE, 0, true},
    {"wav float middle while paused", WavFloat, Paused, MIDDLE, 0, true},
    {"wav back to the start after a stop", Wav, AfterStop, 0, 0, true},
    {"wav middle behind another stream's tail", Wav, BehindTail, MIDDLE, 0, true},
    {"plug-in seek middle while playing", Tone, Playing, MIDDLE, 0, true},
    {"plug-in seek last frame before play", Tone, BeforePlay, LAST, 0, true},
    {"plug-in seek end refused", Tone, BeforePlay, FRAMES, 0, false},
    {"plug-in seek last frame behind a tail", Tone, BehindTail, LAST, 0, true},
    {"no seek: middle before play", ToneNoSeek, BeforePlay, MIDDLE, 0, true},
    {"no seek: back to the start while playing", ToneNoSeek, Playing, 0, 0, true},
    {"refusing seek: middle while paused", ToneRefusing, Paused, MIDDLE, 0, true},
    {"refusing seek: back to the start while playing", ToneRefusing, Playing, 0, 0, true},
    {"unknown length: middle while playing", ToneNoLength, Playing, MIDDLE, 0, true},
    {"unknown length: end refused", ToneNoLength, BeforePlay, FRAMES, 0, false},
    {"absurd stated length: end refused", ToneHugeLength, BeforePlay, FRAMES, 0, false},
    {"absurd stated length: last frame while paused", ToneHugeLength, Paused, LAST, 0, true},
};

const DWORD ToneOptions[] = {
    0, 0, 0, 0, TONE_NO_SEEK, TONE_REFUSE_SEEK, TONE_NO_SEEK | TONE_NO_LENGTH, TONE_HUGE_LENGTH};

ToneHeader ToneOf(Kind kind) {
    ToneHeader tone = {RATE, 2, FRAMES, 40, 20000};
    tone.Options = ToneOptions[kind];
    return tone;
}

std::vector<short> Source(Kind kind) {
    return kind >= Tone ? ToneSamples(ToneOf(kind)) : NoiseSamples(FRAMES * 2, 31, 30000);
}

std::string FileOf(Kind kind) {
    return kind >= Tone ? ToneFile(ToneOf(kind)) : PcmWav(2, RATE, Source(kind));
}

DWORD FlagsOf(Kind kind) {
    return kind == WavMono ? BASS_SAMPLE_MONO : kind == WavFloat ? BASS_SAMPLE_FLOAT : 0;
}

QWORD FrameBytes(Kind kind) {
    return kind == WavMono ? 2 : kind == WavFloat ? 8 : 4;
}

// The stream as the device should get it from frame on. Silence the device
// adds when it runs dry is left aside; the sound itself must be whole.
void ExpectPlayedFrom(Kind kind, QWORD frame, const std::string &captured) {
    std::vector<short> source = Source(kind);
    if (kind == WavFloat) {
        std::vector<float> floats;
        for (size_t i = (size_t)frame * 2; i < source.size(); ++i)
            floats.push_back(source[i] / 32768.0f);
        ExpectSound(floats, captured, 2);
        return;
    }
    std::vector<short> want;
    for (size_t i = (size_t)frame * 2; i + 1 < source.size(); i += 2) {
        if (kind == WavMono) {
            want.push_back((short)lrintf((source[i] + source[i + 1]) / 2.0f));
            continue;
        }
        want.push_back(source[i]);
        want.push_back(source[i + 1]);
    }
    ExpectSound(want, captured, kind == WavMono ? 1 : 2);
}

HANDLE TailEnded;

void CALLBACK SignalTailEnd(HSYNC, DWORD, DWORD, DWORD) {
    SetEvent(TailEnded);
}

class Seeking : public WaveOutCapture, public testing::WithParamInterface<SeekCase> {};

// Brings the stream to the moment of the seek; the stream plays afterwards
// unless the seek comes before its first play.
void Prepare(HSTREAM stream, When when, const std::string &tail) {
    if (when == BehindTail) {
        HSTREAM first =
            BASS_StreamCreateFile(TRUE, tail.data(), 0, (DWORD)tail.size(), BASS_STREAM_AUTOFREE);
        BASS_ChannelSetSync(first, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, SignalTailEnd, 0);
        ASSERT_TRUE(BASS_ChannelPlay(first, FALSE));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(TailEnded, 5000));
        ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
        return;
    }
    if (when == BeforePlay)
        return;
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    ASSERT_TRUE(WaitUntilHeard(stream));
    if (when == Paused) {
        ASSERT_TRUE(BASS_ChannelPause(stream));
    }
    if (when == AfterStop) {
        ASSERT_TRUE(BASS_ChannelStop(stream));
        QWORD heard = BASS_ChannelGetPosition(stream);
        EXPECT_GT(heard, 0u);
        EXPECT_LT(heard, (QWORD)FRAMES * 4);
    }
}

} // namespace

TEST_P(Seeking, PlaysFromTheExactFrameAndRefusesThePastTheEnd) {
    const SeekCase &seek = GetParam();
    TailEnded = CreateEventW(NULL, FALSE, FALSE, NULL);
    std::string tail = PcmWav(2, RATE, NoiseSamples(TAIL_FRAMES * 2, 5, 20000));
    HPLUGIN plugin = 0;
    if (seek.Kind >= Tone) {
        std::wstring path = TestFolder() + L"bass_testtone.dll";
        plugin = BASS_PluginLoad((const char *)path.c_str(), BASS_UNICODE);
        ASSERT_NE(0u, plugin);
    }
    HSTREAM stream = Open(FileOf(seek.Kind), FlagsOf(seek.Kind));
    ASSERT_NE(0u, stream);
    QWORD frameBytes = FrameBytes(seek.Kind);
    QWORD length = (QWORD)FRAMES * frameBytes;
    bool lengthUnknown = seek.Kind == ToneNoLength || seek.Kind == ToneHugeLength;
    EXPECT_EQ(lengthUnknown ? ABSURD : length, BASS_ChannelGetLength(stream));
    EXPECT_EQ(0u, BASS_ChannelGetPosition(stream));

    Prepare(stream, seek.When, tail);
    QWORD before = BASS_ChannelGetPosition(stream);
    QWORD bytes = seek.Frame == ABSURD ? ABSURD : seek.Frame * frameBytes + seek.ExtraBytes;
    ASSERT_EQ(seek.Accepted, BASS_ChannelSetPosition(stream, bytes) != FALSE);
    QWORD after = BASS_ChannelGetPosition(stream);
    QWORD target = seek.Accepted ? seek.Frame * frameBytes : before;
    if (seek.When == Playing || seek.When == BehindTail) {
        // The device may have played a little of it already.
        EXPECT_GE(after, target);
        EXPECT_LE(after, length);
    } else {
        EXPECT_EQ(target, after);
    }
    if (!seek.Accepted && lengthUnknown) { // read to its end, it knows now
        EXPECT_EQ(length, BASS_ChannelGetLength(stream));
    }
    if (seek.Accepted) {
        EXPECT_NEAR((double)seek.Frame / RATE, BASS_ChannelBytes2Seconds(stream, bytes), 1e-6);
        EXPECT_EQ(seek.Frame * frameBytes,
                  BASS_ChannelSeconds2Bytes(stream, (float)seek.Frame / RATE));
    }

    if (seek.When != Playing && seek.When != BehindTail) {
        ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    }
    WaitHeard();
    EXPECT_EQ(length, BASS_ChannelGetPosition(stream));
    EXPECT_EQ(length, BASS_ChannelGetLength(stream));
    std::vector<std::string> files = CapturedFiles();
    ASSERT_FALSE(files.empty());
    // A seek that plays cuts in on a device opened anew; a refused one
    // leaves the sound whole.
    ExpectPlayedFrom(seek.Kind, seek.Accepted ? seek.Frame : 0, files.back());
    if (!seek.Accepted) {
        EXPECT_EQ(1u, files.size());
    }
    BASS_PluginFree(plugin);
    CloseHandle(TailEnded);
}

INSTANTIATE_TEST_SUITE_P(Table, Seeking, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<SeekCase> &info) {
                             return TestName(info.param.Name);
                         });

// The byte maths of the conversions, and their answers for what no stream has.
TEST(PositionCalls, RefuseWhatIsNoStreamOrNoTime) {
    ASSERT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
    std::string wav = PcmWav(2, 44100, NoiseSamples(44100 * 2, 3, 100));
    HSTREAM stream = BASS_StreamCreateFile(TRUE, wav.data(), 0, (DWORD)wav.size(), 0);
    ASSERT_NE(0u, stream);
    EXPECT_EQ(ABSURD, BASS_ChannelGetLength(stream + 1000));
    EXPECT_EQ(ABSURD, BASS_ChannelGetPosition(stream + 1000));
    EXPECT_FALSE(BASS_ChannelSetPosition(stream + 1000, 0));
    EXPECT_LT(BASS_ChannelBytes2Seconds(stream + 1000, 0), 0.0f);
    EXPECT_EQ(ABSURD, BASS_ChannelSeconds2Bytes(stream + 1000, 1.0f));
    EXPECT_EQ(ABSURD, BASS_ChannelSeconds2Bytes(stream, -1.0f));
    EXPECT_EQ(ABSURD, BASS_ChannelSeconds2Bytes(stream, NAN));
    EXPECT_EQ(ABSURD, BASS_ChannelSeconds2Bytes(stream, INFINITY));
    EXPECT_EQ(ABSURD, BASS_ChannelSeconds2Bytes(stream, 1e30f));
    // 12.3 s at 44.1 kHz is frame 542,430 of 4 bytes, rounded to the nearest frame.
    EXPECT_EQ(542430u * 4, BASS_ChannelSeconds2Bytes(stream, 12.3f));
    EXPECT_EQ(44100u * 4, BASS_ChannelSeconds2Bytes(stream, 0.99999f));
    EXPECT_FLOAT_EQ(1.0f, BASS_ChannelBytes2Seconds(stream, 44100 * 4 + 3));
    EXPECT_EQ(44100u * 4, BASS_ChannelGetLength(stream));

    // The position is what the silent clock has played, never the 100 ms
    // decoded ahead of it.
    LARGE_INTEGER start, now, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    EXPECT_TRUE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_TRUE(WaitUntilHeard(stream));
    bool ahead = false;
    for (QWORD position = 0; position < 44100u * 4 / 2 && !ahead;) {
        position = BASS_ChannelGetPosition(stream);
        QueryPerformanceCounter(&now);
        double elapsed = (double)(now.QuadPart - start.QuadPart) / frequency.QuadPart;
        ahead = position / 4 > (elapsed + 0.005) * 44100;
    }
    EXPECT_FALSE(ahead);
    BASS_Free();
}
