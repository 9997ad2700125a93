// The 30-byte fields of the ID3v1 tag, each block ending at a guard page.
#include <gtest/gtest.h>

#include "guarded_block.h"
#include "tag_bytes.h"
#include "tonquil_id3.h"

namespace {

std::optional<std::wstring> Title(const std::string &tag) {
    return Take(ParseId3v1Field(Guarded(tag), ID3V1_TITLE));
}

std::optional<std::wstring> Artist(const std::string &tag) {
    return Take(ParseId3v1Field(Guarded(tag), ID3V1_ARTIST));
}

} // namespace

TEST(Id3v1Field, BlanksAreTrimmedAtBothEndsButKeptInside) {
    EXPECT_EQ(L"word", Title(Id3v1("  word\t ", "")));
    EXPECT_EQ(L"two\t words", Artist(Id3v1("", "\t two\t words  ")));
}

TEST(Id3v1Field, BlankOrEmptyFieldGivesNone) {
    EXPECT_EQ(std::nullopt, Title(Id3v1(std::string(30, ' '), "artist")));
    EXPECT_EQ(std::nullopt, Title(Id3v1(" \t \t", "artist")));
    EXPECT_EQ(std::nullopt, Artist(Id3v1("title", "")));
}

TEST(Id3v1Field, TextEndsAtTheFirstZeroByte) {
    EXPECT_EQ(L"abc", Title(Id3v1(std::string("abc\0 def", 8), "")));
    // Blanks before the zero are trimmed, the bytes after it never seen.
    EXPECT_EQ(L"abc", Title(Id3v1(std::string("abc \0def", 8), "")));
}

TEST(Id3v1Field, FieldWithoutZeroTakesExactlyItsThirtyBytes) {
    std::string title(30, 'T'), artist(30, 'A');
    std::string tag = Id3v1(title, artist);
    tag[63] = 'X'; // the album field starts right after the artist
    EXPECT_EQ(std::wstring(30, L'T'), Title(tag));
    EXPECT_EQ(std::wstring(30, L'A'), Artist(tag));
}

TEST(Id3v1Field, LastFieldOfTheBlockReadsNoFurther) {
    std::string tag = Id3v1("", "");
    for (int i = 98; i < ID3V1_TAG_SIZE; ++i)
        tag[i] = 'c';
    EXPECT_EQ(std::wstring(30, L'c'), Take(ParseId3v1Field(Guarded(tag), 98)));
    EXPECT_EQ(nullptr, ParseId3v1Field(Guarded(tag), 99));
    EXPECT_EQ(nullptr, ParseId3v1Field(NULL, ID3V1_TITLE));
}
