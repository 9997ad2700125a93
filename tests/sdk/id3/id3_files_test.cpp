// The reader's artist and title against Mutagen's, on the tag blocks the
// engine hands out for each file: the ID3v2 tag at its start, the ID3v1 tag
// at its end.
#include <gtest/gtest.h>

#include "engine/tags/id3_blocks.h"
#include "expected_texts.h"
#include "media/source.h"
#include "tag_bytes.h"
#include "test_support.h"
#include "tonquil_id3.h"

namespace {

struct READTEXTS {
    bool Opened;
    std::optional<std::wstring> Title, Artist;
};

READTEXTS ReadAsThePlayerDoes(const std::wstring &path) {
    TQSOURCE source;
    if (!OpenFileSource(path.c_str(), 0, 0, &source))
        return READTEXTS{false, std::nullopt, std::nullopt};
    std::string id3v1, id3v2;
    const BYTE *v1 = ReadId3v1Block(&source, &id3v1) ? (const BYTE *)id3v1.data() : NULL;
    const BYTE *v2 = ReadId3v2Block(&source, &id3v2) ? (const BYTE *)id3v2.data() : NULL;
    CloseSource(&source);
    return READTEXTS{true, Take(ParseTrackTitle(v1, v2)), Take(ParseTrackArtist(v1, v2))};
}

void ExpectReadAsMutagenReadsIt(const EXPECTEDTEXTS &file) {
    SCOPED_TRACE(Utf8(file.Path));
    READTEXTS read = ReadAsThePlayerDoes(file.Path);
    EXPECT_TRUE(read.Opened);
    EXPECT_EQ(file.Title, read.Title);
    EXPECT_EQ(file.Artist, read.Artist);
}

} // namespace

TEST(Id3Files, EachTaggerReadsAsMutagenReadsIt) {
    for (const EXPECTEDTEXTS &file : TaggerFiles()) {
        EXPECT_TRUE(HoldsLongTitleAndWideArtist(file))
            << Utf8(file.Path) << ": no title longer than 30 characters and Japanese artist";
        ExpectReadAsMutagenReadsIt(file);
    }
    printf("ANSI code page %u\n", GetACP());
}

TEST(Id3Files, TaglibsTestFilesReadAsMutagenReadsThem) {
    std::vector<EXPECTEDTEXTS> files = ReadExpectedTexts("taglib.expected");
    EXPECT_FALSE(files.empty());
    for (const EXPECTEDTEXTS &file : files)
        ExpectReadAsMutagenReadsIt(file);
}
