#include "engine_support.h"

#include <gtest/gtest.h>

#include "engine/records/engine_state.h"
#include "engine/streams/stream_decoder.h"
#include "media/source.h"
#include "test_support.h"

#include <algorithm>
#include <ctype.h>
#include <string.h>

std::wstring FixturePath(const std::string &name) {
    return TestFolder() + L"fixtures\\" + std::wstring(name.begin(), name.end());
}

std::string Fixture(const std::string &name) {
    return ReadBytes(FixturePath(name));
}

BOOL CALLBACK OpenAnyDecoder(const TQSOURCE *source, TQDECODER *decoder) {
    std::lock_guard<std::mutex> hold(EngineLock);
    TQDECODEROPEN opener;
    TQDECODEROPEN2 opener2;
    HPLUGIN plugin;
    return OpenDecoder(source, Engine.Plugins, decoder, &opener, &opener2, &plugin);
}

Decoded DecodeBytes(TQDECODEROPEN open, const std::string &bytes, DWORD maxFrames) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    DWORD page = system.dwPageSize;
    DWORD pages = ((DWORD)bytes.size() + page - 1) / page + 1;
    BYTE *region =
        (BYTE *)VirtualAlloc(NULL, (SIZE_T)pages * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD old;
    VirtualProtect(region + (SIZE_T)(pages - 1) * page, page, PAGE_NOACCESS, &old);
    BYTE *start = region + (SIZE_T)(pages - 1) * page - bytes.size();
    if (!bytes.empty())
        memcpy(start, bytes.data(), bytes.size());

    Decoded decoded = {};
    TQSOURCE source;
    OpenMemorySource(start, (DWORD)bytes.size(), &source);
    TQDECODER decoder = {};
    decoded.Opened = open(&source, &decoder) != FALSE;
    if (decoded.Opened) {
        decoded.Rate = decoder.Rate;
        decoded.Channels = decoder.Channels;
        decoded.Length = decoder.Length;
        std::vector<float> block(4096 * (size_t)(decoder.Channels ? decoder.Channels : 1));
        DWORD frames = 0;
        for (DWORD got;
             frames < maxFrames && (got = decoder.Read(decoder.State, block.data(), 4096)) > 0;
             frames += got)
            decoded.Samples.insert(decoded.Samples.end(), block.begin(),
                                   block.begin() + (size_t)got * decoder.Channels);
        decoder.Close(decoder.State);
    }
    CloseSource(&source);
    VirtualFree(region, 0, MEM_RELEASE);
    return decoded;
}

Decoded DecodeFixture(TQDECODEROPEN open, const std::string &name) {
    return DecodeBytes(open, Fixture(name));
}

std::vector<short> Int16Samples(const std::string &raw) {
    std::vector<short> samples(raw.size() / 2);
    if (!samples.empty())
        memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

namespace {

std::string Little(DWORD value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += (char)((value >> (8 * i)) & 0xFF);
    return out;
}

} // namespace

std::string Chunk(const std::string &id, DWORD declaredSize, const std::string &body) {
    std::string chunk = id + Little(declaredSize, 4) + body;
    if (body.size() % 2)
        chunk += '\0';
    return chunk;
}

std::string Chunk(const std::string &id, const std::string &body) {
    return Chunk(id, (DWORD)body.size(), body);
}

std::string FmtChunk(const WavFields &fields) {
    return Chunk("fmt ", Little(fields.Tag, 2) + Little(fields.Channels, 2) +
                             Little(fields.Rate, 4) + Little(fields.Rate * fields.BlockAlign, 4) +
                             Little(fields.BlockAlign, 2) + Little(fields.Bits, 2));
}

std::string RiffFile(const std::string &chunks) {
    return "RIFF" + Little((DWORD)chunks.size() + 4, 4) + "WAVE" + chunks;
}

std::string Int16Bytes(const std::vector<short> &samples) {
    return std::string((const char *)samples.data(), samples.size() * 2);
}

std::string PcmWav(WORD channels, DWORD rate, const std::vector<short> &samples) {
    WavFields fields = {1, channels, rate, (WORD)(2 * channels), 16};
    return RiffFile(FmtChunk(fields) + Chunk("data", Int16Bytes(samples)));
}

std::string ToneFile(const ToneHeader &tone) {
    std::string file = std::string(TONE_MAGIC) + Little(tone.Rate, 4) + Little(tone.Channels, 4) +
                       Little(tone.Frames, 4) + Little(tone.Period, 4) + Little(tone.Amplitude, 2) +
                       Little(tone.Options, 4) + Little(tone.GainFlags, 4);
    for (float value : {tone.TrackGain, tone.TrackPeak, tone.AlbumGain, tone.AlbumPeak})
        file.append((const char *)&value, sizeof value);
    return file;
}

std::vector<short> ToneSamples(const ToneHeader &tone) {
    std::vector<short> samples;
    for (DWORD frame = 0; frame < tone.Frames; ++frame)
        for (DWORD channel = 0; channel < tone.Channels; ++channel)
            samples.push_back(ToneSample(tone, frame, channel));
    return samples;
}

DWORD NextRandom(DWORD *state) {
    *state = *state * 1664525u + 1013904223u;
    return *state >> 8;
}

namespace {

// One kind of damage done up to sixteen times, then, half the time, one byte
// of the first headerBytes set at random: the headers matter most.
std::string MutatedBytes(const std::string &original, size_t headerBytes, DWORD *seed) {
    std::string bytes = original;
    DWORD kind = NextRandom(seed) % 4;
    DWORD edits = 1 + NextRandom(seed) % 16;
    for (DWORD edit = 0; edit < edits && !bytes.empty(); ++edit) {
        size_t at = NextRandom(seed) % bytes.size();
        if (kind == 0)
            bytes[at] ^= (char)(1 << (NextRandom(seed) % 8));
        else if (kind == 1)
            bytes.replace(at, 4, 4, (char)(NextRandom(seed) % 2 ? 0xFF : 0x00));
        else if (kind == 2 && at > 0)
            bytes.resize(at);
        else
            bytes.insert(NextRandom(seed) % bytes.size(), bytes.substr(at, NextRandom(seed) % 700));
    }
    if (bytes.size() > headerBytes && NextRandom(seed) % 2)
        bytes[NextRandom(seed) % headerBytes] = (char)NextRandom(seed);
    return bytes;
}

} // namespace

void DecodeMutations(TQDECODEROPEN open, const std::string &original, int rounds,
                     size_t headerBytes, DWORD *seed, int *opened) {
    for (int round = 0; round < rounds; ++round) {
        Decoded decoded = DecodeBytes(open, MutatedBytes(original, headerBytes, seed), 5000000);
        *opened += decoded.Opened;
        if (decoded.Opened) {
            ASSERT_GE(decoded.Channels, 1u);
            ASSERT_LE(decoded.Channels, 8u);
            ASSERT_GT(decoded.Rate, 0u);
        }
    }
}

std::vector<short> NoiseSamples(DWORD count, DWORD seed, int amplitude) {
    std::vector<short> samples(count);
    for (short &sample : samples)
        sample = (short)((int)(NextRandom(&seed) % (2 * amplitude + 1)) - amplitude);
    return samples;
}

bool WaitUntilStopped(HSTREAM stream, DWORD timeoutMs) {
    return WaitUntil([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; },
                     timeoutMs);
}

bool WaitUntilHeard(HSTREAM stream) {
    return WaitUntil(
        [&] {
            QWORD position = BASS_ChannelGetPosition(stream);
            return position != (QWORD)-1 && position > 0;
        },
        5000);
}

std::string TestName(const char *description) {
    std::string name;
    for (const char *c = description; *c; ++c)
        if (isalnum((unsigned char)*c))
            name += *c;
    return name;
}

std::vector<std::wstring> CaptureFiles(const std::wstring &folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"capture-*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    // "capture-44100-2-16.raw" comes before "capture-44100-2-16.raw.0000" and so on.
    std::sort(names.begin(), names.end(), [](const std::wstring &a, const std::wstring &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (std::wstring &name : names)
        name = folder + name;
    return names;
}
