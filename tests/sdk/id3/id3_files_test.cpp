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

std::wstring FilesFolder() {
    return FromUnixPath(TONQUIL_ID3_FILES_UNIX);
}

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

int ExpectAgreement(const char *list) {
    std::vector<EXPECTEDTEXTS> files = ReadExpectedTexts(FilesFolder(), list);
    for (const EXPECTEDTEXTS &file : files) {
        SCOPED_TRACE(Utf8(file.Path));
        READTEXTS read = ReadAsThePlayerDoes(file.Path);
        EXPECT_TRUE(read.Opened);
        EXPECT_EQ(file.Title, read.Title);
        EXPECT_EQ(file.Artist, read.Artist);
    }
    return (int)files.size();
}

} // namespace

// Each with a Japanese artist and a title longer than ID3v1's 30 bytes.
TEST(Id3Files, EachTaggerReadsAsMutagenReadsIt) {
    const char *const taggers[] = {"eyed3-v2.3", "eyed3-v2.4",  "kid3-cli",    "id3v2",
                                   "mid3v2",     "ffmpeg-v2.3", "ffmpeg-v2.4", "lame"};
    std::vector<EXPECTEDTEXTS> files = ReadExpectedTexts(FilesFolder(), "taggers.expected");
    for (const char *tagger : taggers) {
        std::string leaf = std::string("taggers\\") + tagger + ".mp3";
        std::wstring name = FilesFolder() + std::wstring(leaf.begin(), leaf.end());
        bool listed = false;
        for (const EXPECTEDTEXTS &file : files)
            listed = listed ||
                     (file.Path == name && file.Title && file.Title->size() > 30 && file.Artist);
        EXPECT_TRUE(listed) << tagger << " wrote no title longer than 30 characters and artist";
    }
    EXPECT_EQ(8, ExpectAgreement("taggers.expected"));
    printf("ANSI code page %u\n", GetACP());
}

TEST(Id3Files, TaglibsTestFilesReadAsMutagenReadsThem) {
    EXPECT_GT(ExpectAgreement("taglib.expected"), 0);
}
