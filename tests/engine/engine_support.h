// Shared by the engine's tests: the fixtures, decoding a whole file through
// one decoder, WAV and tone files built byte by byte, and ALSA's capture files.
#ifndef TONQUIL_TESTS_ENGINE_SUPPORT_H
#define TONQUIL_TESTS_ENGINE_SUPPORT_H

#include "engine/bass.h"
#include "test_plugin/tone_format.h"

#include <string>
#include <vector>

std::wstring FixturePath(const std::string &name);
std::string Fixture(const std::string &name);

struct Decoded {
    bool Opened;
    DWORD Rate;
    DWORD Channels;
    ULONGLONG Length; // as the decoder stated it
    std::vector<float> Samples;
};

// Opens bytes (placed so the byte after them cannot be read) with the decoder
// and reads it to its end, giving up past maxFrames.
Decoded DecodeBytes(TQDECODEROPEN open, const std::string &bytes, DWORD maxFrames = 20000000);
Decoded DecodeFixture(TQDECODEROPEN open, const std::string &name);
// Opens as a stream of the engine does: its own decoders in their order, then
// the plug-ins it has loaded.
BOOL CALLBACK OpenAnyDecoder(const TQSOURCE *source, TQDECODER *decoder);

std::vector<short> Int16Samples(const std::string &raw);

// A RIFF WAVE file: a fmt chunk with the fields given, then the chunks listed
// (id and body; odd bodies get their pad byte), the data chunk last.
struct WavFields {
    WORD Tag;
    WORD Channels;
    DWORD Rate;
    WORD BlockAlign;
    WORD Bits;
};
std::string Chunk(const std::string &id, const std::string &body);
std::string Chunk(const std::string &id, DWORD declaredSize, const std::string &body);
std::string FmtChunk(const WavFields &fields);
std::string RiffFile(const std::string &chunks);
std::string PcmWav(WORD channels, DWORD rate, const std::vector<short> &samples);
std::string Int16Bytes(const std::vector<short> &samples);

std::string ToneFile(const ToneHeader &tone);
std::vector<short> ToneSamples(const ToneHeader &tone);

// A deterministic pseudo-random sequence for noise and mutations.
DWORD NextRandom(DWORD *state);
std::vector<short> NoiseSamples(DWORD count, DWORD seed, int amplitude);

// Decodes rounds mutated copies of original (which must not be empty) through
// open, each ending at a page that cannot be read, and counts in *opened those
// that opened; one that opens must claim a format that can be. The same seed
// gives the same mutations.
void DecodeMutations(TQDECODEROPEN open, const std::string &original, int rounds,
                     size_t headerBytes, DWORD *seed, int *opened);

// Polls until the stream says it is stopped: its last frame has been played
// (an auto-free stream is gone by then). False after timeoutMs.
bool WaitUntilStopped(HSTREAM stream, DWORD timeoutMs);

// Polls until the stream has been heard past its first frame. False after 5 s.
bool WaitUntilHeard(HSTREAM stream);

// The letters and digits of a table row's description, as a test's name.
std::string TestName(const char *description);

// ALSA's capture files in folder, oldest first (the file plug-in adds a
// counter to the name of each further file of the same format).
std::vector<std::wstring> CaptureFiles(const std::wstring &folder);

#endif
