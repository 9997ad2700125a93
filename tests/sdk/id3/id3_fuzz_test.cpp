// Random and mutated tags, each exactly as long as its header says and placed
// so that its last byte sits right before a PAGE_NOACCESS page: a read past a
// tag faults at once. The seeds are the corpus files, and the random source
// starts from a fixed value, so every run reads the same blocks.
//
// With TONQUIL_FUZZ_SAVE set to a folder, each block whose outcome was not
// seen before is written there, ready to be added to the corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdio.h>
#include <vector>

#include "fault_report.h"
#include "guarded_block.h"
#include "tag_bytes.h"
#include "tonquil_id3.h"
#include "test_support.h"

namespace {

const int Iterations = 40000;
// Keeps the guarded area small; frame sizes still point anywhere.
const size_t LargestBlock = 4096;
const char *const WantedIds[] = {"TIT2", "TPE1"};
// The two fields the player reads, then the block's last 30 bytes.
const int Id3v1Fields[] = {ID3V1_TITLE, ID3V1_ARTIST, ID3V1_TAG_SIZE - ID3V1_FIELD_SIZE};

struct CORPUS {
    std::vector<std::string> id3v1, id3v2;
};

// xorshift32: the same sequence on every system.
DWORD RandomState;

DWORD Below(DWORD bound) {
    RandomState ^= RandomState << 13;
    RandomState ^= RandomState >> 17;
    RandomState ^= RandomState << 5;
    return RandomState % bound;
}

std::wstring CorpusFolder() {
    return FromUnixPath(TONQUIL_ID3_CORPUS_UNIX);
}

std::vector<std::wstring> CorpusFiles(const wchar_t *pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((CorpusFolder() + pattern).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(CorpusFolder() + found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

CORPUS ReadCorpus() {
    CORPUS corpus;
    for (const std::wstring &name : CorpusFiles(L"*.id3v1"))
        corpus.id3v1.push_back(ReadBytes(name));
    for (const std::wstring &name : CorpusFiles(L"*.id3v2"))
        corpus.id3v2.push_back(ReadBytes(name));
    return corpus;
}

// Bytes that steer the reader: zeros, the FF of unsynchronisation, the
// byte-order marks, bytes with the high bit set, capitals of frame ids.
char TellingByte() {
    static const BYTE telling[] = {0, 0, 0xFF, 0xFE, 0x7F, 0x80, ' ', '\t', 'T', '2'};
    if (Below(2))
        return (char)telling[Below(sizeof telling)];
    return (char)Below(256);
}

std::string TellingBytes(size_t count) {
    std::string bytes;
    for (size_t i = 0; i < count; ++i)
        bytes += TellingByte();
    return bytes;
}

std::string ExtremeSize() {
    switch (Below(8)) {
    case 0:
        return Bytes({0, 0, 0, 0});
    case 1:
        return Bytes({0xFF, 0xFF, 0xFF, 0xFF});
    case 2:
        return Bytes({0x7F, 0x7F, 0x7F, 0x7F});
    case 3:
        return Bytes({0x80, 0x80, 0x80, 0x80});
    case 4:
        return Bytes({0, 0, 0, 0x80 + (int)Below(128)});
    case 5:
        return Syncsafe(Below(64));
    default:
        return TellingBytes(4);
    }
}

std::string RandomFrame() {
    static const char *const ids[] = {"TIT2", "TPE1", "TXXX", "TIT3"};
    std::string id = Below(5) ? ids[Below(4)] : TellingBytes(4);
    std::string data;
    if (Below(8))
        data += (char)(Below(6) ? Below(4) : Below(256));
    data += TellingBytes(Below(3) ? Below(12) : Below(200));
    std::string size = Below(4) ? Syncsafe((DWORD)data.size()) : ExtremeSize();
    return FrameSized(id.c_str(), size, data) + std::string(Below(4) ? 0 : Below(6), '\0');
}

std::string RandomArea() {
    if (!Below(6))
        return TellingBytes(Below(300));
    std::string area;
    if (!Below(6))
        area += (Below(2) ? ExtremeSize() : Syncsafe(Below(8))) + TellingBytes(Below(8));
    for (DWORD frames = Below(6); frames > 0; --frames)
        area += RandomFrame();
    return area;
}

std::string RandomTag() {
    static const BYTE flags[] = {0, 0x40, 0x80, 0xC0};
    BYTE version = (BYTE)(Below(4) ? 2 + Below(3) : Below(256));
    return Tag(RandomArea(), version, Below(4) ? flags[Below(4)] : (BYTE)Below(256));
}

void Mutate(std::string &tag, const CORPUS &corpus) {
    for (DWORD count = 1 + Below(4); count > 0; --count) {
        size_t position = Below((DWORD)tag.size());
        switch (Below(6)) {
        case 0:
            tag[position] = (char)(tag[position] ^ (1 << Below(8)));
            break;
        case 1:
            tag[position] = TellingByte();
            break;
        case 2:
            if (tag.size() > 10)
                tag.replace(10 + Below((DWORD)tag.size() - 10), 4, ExtremeSize());
            break;
        case 3:
            tag.resize(10 + Below((DWORD)tag.size() - 9));
            break;
        case 4:
            tag.insert(std::max<size_t>(position, 10),
                       Below(2) ? "\xFF" : std::string("\xFF\0", 2));
            break;
        default:
            const std::string &other = corpus.id3v2[Below((DWORD)corpus.id3v2.size())];
            tag += Below(2) ? RandomFrame() : other.substr(std::min<size_t>(10, other.size()));
            break;
        }
    }
}

// Sets the header's size to the bytes that follow it, sometimes with a byte
// of 128 or more that still gives the same number when read whole.
void FitHeaderSize(std::string &tag) {
    tag.resize(std::min(std::max<size_t>(tag.size(), 10), LargestBlock), '\0');
    std::string size = Syncsafe((DWORD)tag.size() - 10);
    for (int i = 2; i >= 0; --i)
        if (size[i] && Below(2)) {
            --size[i];
            size[i + 1] = (char)((BYTE)size[i + 1] + 128);
        }
    tag.replace(6, 4, size);
}

std::string NextId3v2(const CORPUS &corpus) {
    std::string tag;
    if (Below(3)) {
        tag = corpus.id3v2[Below((DWORD)corpus.id3v2.size())];
        tag.resize(std::max<size_t>(tag.size(), 10), '\0');
        Mutate(tag, corpus);
    } else {
        tag = RandomTag();
        if (Below(2))
            Mutate(tag, corpus);
    }
    FitHeaderSize(tag);
    return tag;
}

std::string NextId3v1(const CORPUS &corpus) {
    std::string tag;
    if (Below(2)) {
        tag = corpus.id3v1[Below((DWORD)corpus.id3v1.size())];
        tag.resize(ID3V1_TAG_SIZE, '\0');
        for (DWORD count = 1 + Below(8); count > 0; --count)
            tag[Below(ID3V1_TAG_SIZE)] = TellingByte();
    } else {
        tag = TellingBytes(ID3V1_TAG_SIZE);
    }
    return tag;
}

// 0 none, 1 an empty text, 2 a text.
int Outcome(const std::optional<std::wstring> &text) {
    return !text ? 0 : text->empty() ? 1 : 2;
}

int IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The kind of the block's header and what the reader gave for it, folded into
// one number; -1 when a text could not have come from the block. Adds the
// texts given to *texts.
int CheckId3v2(const BYTE *tag, size_t length, int *texts) {
    int outcome = (tag[3] == 2 ? 0 : tag[3] == 3 ? 1 : 2) * 4 + (tag[5] >> 6);
    for (const char *id : WantedIds) {
        std::optional<std::wstring> parsed = Take(ParseId3v2Frame(tag, id));
        // Every code unit takes at least one byte of the tag.
        if (parsed && parsed->size() > length)
            return -1;
        outcome = outcome * 3 + Outcome(parsed);
        *texts += parsed != std::nullopt;
    }
    return outcome;
}

int CheckId3v1(const BYTE *tag, int *texts) {
    int outcome = 0;
    for (int field : Id3v1Fields) {
        std::optional<std::wstring> text = Take(ParseId3v1Field(tag, field));
        if (text && (text->empty() || text->size() > ID3V1_FIELD_SIZE || IsBlank(text->front()) ||
                     IsBlank(text->back())))
            return -1;
        if (field != Id3v1Fields[2])
            outcome = outcome * 3 + (!text ? 0 : text->size() < ID3V1_FIELD_SIZE ? 1 : 2);
        *texts += text != std::nullopt;
    }
    return outcome;
}

DWORD HeaderSize(const std::string &tag) {
    const BYTE *size = (const BYTE *)tag.data() + 6;
    return (((size[0] * 128u + size[1]) * 128u + size[2]) * 128u) + size[3];
}

std::string Hex(const std::string &bytes) {
    std::string text;
    char pair[4];
    for (char c : bytes) {
        sprintf(pair, "%02X ", (BYTE)c);
        text += pair;
    }
    return text;
}

std::wstring SaveFolder() {
    WCHAR folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"TONQUIL_FUZZ_SAVE", folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) + L"\\" : L"";
}

void SaveIfNew(std::set<int> &seen, int outcome, const std::string &block, int iteration,
               const wchar_t *suffix) {
    std::wstring folder = SaveFolder();
    if (!seen.insert(outcome).second || folder.empty())
        return;
    WCHAR name[64];
    wsprintfW(name, L"found-%05d%s", iteration, suffix);
    WriteBytes(folder + name, block);
}

} // namespace

TEST(TagCorpus, EveryBlockIsReadWithinItsBounds) {
    CORPUS corpus = ReadCorpus();
    ASSERT_FALSE(corpus.id3v1.empty());
    ASSERT_FALSE(corpus.id3v2.empty());
    int texts = 0;
    for (const std::string &tag : corpus.id3v1) {
        ASSERT_EQ((size_t)ID3V1_TAG_SIZE, tag.size());
        BlockBeingRead = tag;
        EXPECT_GE(CheckId3v1(Guarded(tag), &texts), 0) << Hex(tag);
    }
    for (const std::string &tag : corpus.id3v2) {
        ASSERT_GE(tag.size(), 10u);
        ASSERT_EQ(tag.size(), 10 + HeaderSize(tag)) << "the block must end where its header says";
        BlockBeingRead = tag;
        EXPECT_GE(CheckId3v2(Guarded(tag), tag.size(), &texts), 0) << Hex(tag);
    }
    BlockBeingRead.clear();
    EXPECT_GT(texts, 0);
}

TEST(TagFuzz, RandomAndMutatedBlocksAreReadWithinTheirBounds) {
    CORPUS corpus = ReadCorpus();
    ASSERT_FALSE(corpus.id3v1.empty());
    ASSERT_FALSE(corpus.id3v2.empty());
    std::set<int> seenId3v1, seenId3v2;
    int texts = 0;
    for (const std::string &tag : corpus.id3v1)
        seenId3v1.insert(CheckId3v1(Guarded(tag), &texts));
    for (const std::string &tag : corpus.id3v2)
        seenId3v2.insert(CheckId3v2(Guarded(tag), tag.size(), &texts));
    texts = 0;
    RandomState = 0x1D3F00D5;
    for (int i = 0; i < Iterations; ++i) {
        if (Below(5) == 0) {
            std::string tag = NextId3v1(corpus);
            BlockBeingRead = tag;
            int outcome = CheckId3v1(Guarded(tag), &texts);
            ASSERT_GE(outcome, 0) << "iteration " << i << ": " << Hex(tag);
            SaveIfNew(seenId3v1, outcome, tag, i, L".id3v1");
        } else {
            std::string tag = NextId3v2(corpus);
            BlockBeingRead = tag;
            int outcome = CheckId3v2(Guarded(tag), tag.size(), &texts);
            ASSERT_GE(outcome, 0) << "iteration " << i << ": " << Hex(tag);
            SaveIfNew(seenId3v2, outcome, tag, i, L".id3v2");
        }
        BlockBeingRead.clear();
        if (i % 1000 == 0) {
            ASSERT_TRUE(HeapValidate(GetProcessHeap(), 0, NULL)) << "iteration " << i;
        }
    }
    printf("tag fuzz: %d iterations, %d texts read, %u and %u outcomes seen\n", Iterations, texts,
           (unsigned)seenId3v1.size(), (unsigned)seenId3v2.size());
    // Blocks the reader refuses outright would test nothing deep.
    EXPECT_GT(texts, Iterations / 4);
}
