// Damage that must cost neither the engine's responsiveness nor the process:
// junk in the middle of an MPEG file, a file cut after it was opened, and
// allocations that fail inside the calls.
#include <gtest/gtest.h>

#include "engine/decoding/media_decoders.h"
#include "media/source.h"
#include "engine_support.h"
#include "test_support.h"

#include <atomic>
#include <new>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Allocations above this many bytes fail, as they would in a full address space.
std::atomic<size_t> RefuseAbove(SIZE_MAX);

struct Refusing {
    explicit Refusing(size_t limit) {
        RefuseAbove = limit;
    }
    ~Refusing() {
        RefuseAbove = SIZE_MAX;
    }
};

// A source that claims size bytes but can read only the first served ones:
// a file cut short after it was opened.
struct CutBytes {
    std::string Bytes;
    DWORD Served;
};

DWORD CALLBACK ReadCut(void *context, DWORD offset, void *buffer, DWORD count) {
    CutBytes *cut = (CutBytes *)context;
    if (offset >= cut->Served)
        return 0;
    DWORD got = count < cut->Served - offset ? count : cut->Served - offset;
    memcpy(buffer, cut->Bytes.data() + offset, got);
    return got;
}

// PCM frames the engine's MPEG decoder gives for the source, or -1 when it refuses it.
long DecodedFrames(const std::string &bytes, DWORD served) {
    CutBytes cut = {bytes, served};
    TQSOURCE source = {&cut, (DWORD)bytes.size(), ReadCut};
    TQDECODER decoder = {};
    if (!OpenEngineMediaDecoder(&source, &decoder))
        return -1;
    std::vector<float> block(4096 * (size_t)decoder.Channels);
    long frames = 0;
    for (DWORD got; (got = decoder.Read(decoder.State, block.data(), 4096)) > 0;)
        frames += got;
    decoder.Close(decoder.State);
    return frames;
}

void CALLBACK NoSync(HSYNC, DWORD, DWORD, DWORD) {}

DWORD SyncsafeSize(const char *tag) {
    DWORD size = 0;
    for (int i = 6; i < 10; ++i)
        size = (size << 7) | (BYTE)tag[i];
    return size;
}

} // namespace

void *operator new(size_t size) {
    void *block = size > RefuseAbove ? NULL : malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void operator delete(void *block) noexcept {
    free(block);
}

void operator delete(void *block, size_t) noexcept {
    free(block);
}

// Junk between frames costs no call a long wait: the stream either finds the
// frames after it or ends there. A file cut after it was opened ends where
// its bytes do.
TEST(MpegDamage, JunkAndCutFilesEndTheStreamWithinBounds) {
    std::string frames = Fixture("layer2.mp2");
    long whole = DecodedFrames(frames, (DWORD)frames.size());
    ASSERT_GT(whole, 0);
    std::string mp3 = Fixture("untagged.mp3");
    long wholeMp3 = DecodedFrames(mp3, (DWORD)mp3.size());
    const DWORD frameBytes = 313; // lame's 96 kbit/s at 44.1 kHz
    struct Case {
        const char *name;
        std::string bytes;
        DWORD served;
        long least, most;
    } cases[] = {
        {"short junk", frames + std::string(4000, '\0') + frames, 0, 2 * whole - 1152,
         2 * whole + 1152},
        {"long junk", frames + std::string(300000, '\0') + frames, 0, whole - 1152,
         2 * whole + 1152},
        {"cut inside the first frame", mp3.substr(0, 100), 100, -1, -1},
        {"cut ten frames in", mp3, 10 * frameBytes, -1, wholeMp3 - 1},
    };
    for (const Case &c : cases) {
        long got = DecodedFrames(c.bytes, c.served ? c.served : (DWORD)c.bytes.size());
        EXPECT_LE(c.least, got) << c.name;
        EXPECT_GE(c.most, got) << c.name;
    }
}

// No allocation failure leaves a call as an exception: the call fails, or
// does without what it could not get, and the engine goes on working.
TEST(AllocationFailure, EveryCallFailsQuietlyAndTheEngineGoesOn) {
    // A tag of 256 MB in front of the audio, most of it never touched.
    std::string frames = Fixture("layer2.mp2");
    const DWORD tagSize = 0x0FFFFFFF;
    SIZE_T size = 10 + (SIZE_T)tagSize + frames.size();
    BYTE *huge = (BYTE *)VirtualAlloc(NULL, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(nullptr, huge);
    memcpy(huge, "ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10);
    memcpy(huge + 10 + tagSize, frames.data(), frames.size());
    std::wstring path = FixturePath("layer2.mp2");
    ASSERT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
    HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_UNICODE);
    ASSERT_NE(0u, stream);

    HSTREAM tagged;
    const char *tag;
    {
        Refusing refusing(64 << 20);
        tagged = BASS_StreamCreateFile(TRUE, huge, 0, (DWORD)size, 0);
        tag = BASS_ChannelGetTags(tagged, BASS_TAG_ID3V2);
    }
    EXPECT_NE(0u, tagged);
    ASSERT_NE(nullptr, tag);
    EXPECT_EQ(0, memcmp(tag, "ID3", 3));
    EXPECT_GE(1u << 20, SyncsafeSize(tag)); // a copy of the tag's start that says so
    BASS_ChannelStop(tagged);

    struct Call {
        const char *name;
        bool (*failed)(HSTREAM stream, const std::wstring &path);
    } calls[] = {
        {"BASS_StreamCreateFile",
         [](HSTREAM, const std::wstring &file) {
             return BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_UNICODE) == 0;
         }},
        {"BASS_ChannelSetSync",
         [](HSTREAM s, const std::wstring &) {
             return BASS_ChannelSetSync(s, BASS_SYNC_END, 0, NoSync, 0) == 0;
         }},
        {"BASS_ChannelPlay",
         [](HSTREAM s, const std::wstring &) { return BASS_ChannelPlay(s, TRUE) == FALSE; }},
        {"BASS_PluginLoad",
         [](HSTREAM, const std::wstring &file) {
             return BASS_PluginLoad((const char *)file.c_str(), BASS_UNICODE) == 0;
         }},
        {"BASS_Init",
         [](HSTREAM, const std::wstring &) {
             BASS_Free();
             return BASS_Init(0, 44100, 0, NULL, NULL) == FALSE;
         }},
    };
    // Small blocks still come, but no output's buffers: not even the silent
    // output can open, and the play fails instead of crashing.
    {
        Refusing refusing(4096);
        EXPECT_FALSE(BASS_ChannelPlay(stream, FALSE)) << "BASS_ChannelPlay without an output";
    }
    for (const Call &call : calls) {
        bool failed;
        {
            Refusing refusing(0);
            failed = call.failed(stream, path);
        }
        EXPECT_TRUE(failed) << call.name;
    }

    ASSERT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
    stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_UNICODE);
    EXPECT_TRUE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_TRUE(BASS_Free());
    VirtualFree(huge, 0, MEM_RELEASE);
}
