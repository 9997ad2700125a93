// Frames of the ID3v2 tag. Every block is exactly as long as its header says
// and ends at a guard page, so a read past the tag faults.
#include <gtest/gtest.h>

#include "guarded_block.h"
#include "tag_bytes.h"
#include "tonquil_id3.h"

namespace {

std::optional<std::wstring> Read(const std::string &tag, const char *id = "TIT2") {
    return Take(ParseId3v2Frame(Guarded(tag), id));
}

// The frames alone, in a version 4 tag.
std::optional<std::wstring> Find(const std::string &area, const char *id = "TIT2") {
    return Read(Tag(area, 4), id);
}

const std::string Other = Frame("TXXX", "\3other");

} // namespace

TEST(Id3v2Text, Utf16TakesItsByteOrderFromTheMark) {
    EXPECT_EQ(L"AB", Read(Tag(Frame("TIT2", Bytes({1, 0xFF, 0xFE, 'A', 0, 'B', 0})))));
    EXPECT_EQ(L"AB", Read(Tag(Frame("TIT2", Bytes({1, 0xFE, 0xFF, 0, 'A', 0, 'B'})))));
    EXPECT_EQ(L"\x51EA", Read(Tag(Frame("TIT2", Bytes({1, 0xFE, 0xFF, 0x51, 0xEA})))));
    // Without a mark, little-endian; encoding 2 is big-endian.
    EXPECT_EQ(L"AB", Read(Tag(Frame("TIT2", Bytes({1, 'A', 0, 'B', 0})))));
    EXPECT_EQ(L"AB", Read(Tag(Frame("TIT2", Bytes({2, 0, 'A', 0, 'B'})))));
    EXPECT_EQ(L"\x4100", Read(Tag(Frame("TIT2", Bytes({2, 'A', 0})))));
}

TEST(Id3v2Text, OnlyTheFirstMarkIsDropped) {
    EXPECT_EQ(L"\x41FE", Read(Tag(Frame("TIT2", Bytes({1, 0xFE, 'A', 0})))));
    EXPECT_EQ(L"\xFEFF"
              L"A",
              Read(Tag(Frame("TIT2", Bytes({1, 0xFF, 0xFE, 0xFF, 0xFE, 'A', 0})))));
    EXPECT_EQ(L"\xFEFF"
              L"A",
              Read(Tag(Frame("TIT2", Bytes({2, 0xFE, 0xFF, 0, 'A'})))));
}

TEST(Id3v2Text, Utf16EndsAtTheFirstZeroUnitNotAtAZeroByte) {
    EXPECT_EQ(L"A", Read(Tag(Frame("TIT2", Bytes({1, 0xFF, 0xFE, 'A', 0, 0, 0, 'B', 0})))));
    EXPECT_EQ(L"A\x4200"
              L"C",
              Read(Tag(Frame("TIT2", Bytes({1, 'A', 0, 0, 'B', 'C', 0})))));
}

TEST(Id3v2Text, Utf16OddLastByteIsAUnitWithZeroHighByte) {
    // The frame is the last thing in the tag: its high byte would lie past it.
    EXPECT_EQ(L"AB", Read(Tag(Frame("TIT2", Bytes({1, 0xFF, 0xFE, 'A', 0, 'B'})))));
    EXPECT_EQ(L"", Read(Tag(Frame("TIT2", Bytes({1, 0xFF, 0xFE})))));
    EXPECT_EQ(L"", Read(Tag(Frame("TIT2", Bytes({1, 0xFE, 0xFF})))));
    EXPECT_EQ(L"\x4100"
              L"B",
              Read(Tag(Frame("TIT2", Bytes({1, 0xFE, 0xFF, 'A', 0, 'B'})))));
    // A frame further in: neither the text nor its last unit takes a byte of
    // the frame after it.
    const std::string next = Frame("TPE1", "\3next");
    EXPECT_EQ(L"", Read(Tag(Frame("TIT2", Bytes({1, 0xFF, 0xFE})) + next)));
    EXPECT_EQ(L"AB", Read(Tag(Frame("TIT2", Bytes({1, 0xFF, 0xFE, 'A', 0, 'B'})) + next)));
    EXPECT_EQ(L"AB", Read(Tag(Frame("TIT2", Bytes({2, 0, 'A', 'B'})) + next)));
}

TEST(Id3v2Text, Utf8WithoutTerminatorEndsWithItsFrame) {
    std::string tag = Tag(Frame("TIT2", "\3h\xC3\xA9llo") + Frame("TPE1", "\3next"));
    EXPECT_EQ(L"h\x00E9llo", Read(tag, "TIT2"));
    EXPECT_EQ(L"next", Read(tag, "TPE1"));
}

TEST(Id3v2Text, SingleByteTextsEndAtTheFirstZero) {
    EXPECT_EQ(L"ab", Read(Tag(Frame("TIT2", std::string("\0ab\0cd", 6)))));
    EXPECT_EQ(L"ab", Read(Tag(Frame("TIT2", std::string("\3ab\0cd", 6)))));
    EXPECT_EQ(L"plain", Read(Tag(Frame("TIT2", std::string("\0plain", 6)))));
}

TEST(Id3v2Text, EncodingByteAloneGivesAnEmptyText) {
    EXPECT_EQ(L"", Read(Tag(Frame("TIT2", Bytes({0})))));
    EXPECT_EQ(L"", Read(Tag(Frame("TIT2", Bytes({3})))));
    EXPECT_EQ(L"", Read(Tag(Frame("TIT2", Bytes({1})))));
}

TEST(Id3v2Text, UnknownEncodingIsPassedOverForALaterFrameWithTheSameId) {
    for (int encoding : {4, 7, 0xFF}) {
        std::string bad = Frame("TIT2", std::string(1, (char)encoding) + "bad");
        EXPECT_EQ(L"found", Read(Tag(bad + Other + Frame("TIT2", "\3found"))));
        EXPECT_EQ(std::nullopt, Read(Tag(bad)));
    }
}

TEST(Id3v2Walk, ZeroPaddingBetweenFramesIsPassedOver) {
    EXPECT_EQ(L"title", Read(Tag(Other + std::string(7, '\0') + Frame("TIT2", "\3title"))));
    EXPECT_EQ(std::nullopt, Read(Tag(Frame("TIT2", "\3title") + std::string(7, '\0')), "TPE1"));
}

TEST(Id3v2Walk, AreaMustStartWithACapitalOrADigit) {
    EXPECT_EQ(std::nullopt, Read(Tag(std::string(1, '\0') + Frame("TIT2", "\3title"))));
    EXPECT_EQ(std::nullopt, Read(Tag(std::string(20, '\0'))));
    EXPECT_EQ(std::nullopt, Find("tit2" + Syncsafe(2) + Bytes({0, 0, 3, 'x'}), "tit2"));
    EXPECT_EQ(L"x", Find("0XYZ" + Syncsafe(1) + Bytes({0, 0, 0}) + Frame("TIT2", "\3x")));
}

TEST(Id3v2Walk, TheWholeIdIsCompared) {
    EXPECT_EQ(L"two", Read(Tag(Frame("TIT3", "\3three") + Frame("TIT2", "\3two"))));
}

TEST(Id3v2Walk, Version4SizesAreSyncsafeWithNoBitMasked) {
    // A masked size (0) would land on the decoy right after the header.
    std::string skipped = Frame("TIT2", "\3decoy") + std::string(128 - 16, 'x');
    std::string tag =
        Tag(FrameSized("TXXX", Bytes({0, 0, 0, 0x80}), skipped) + Frame("TIT2", "\3real"), 4);
    EXPECT_EQ(L"real", Read(tag));
    // 00 00 01 80 is 128 + 128: neither 128 (masked) nor 384 (a plain number).
    std::string longer = skipped + std::string(128, 'y');
    EXPECT_EQ(
        L"real",
        Read(Tag(FrameSized("TXXX", Bytes({0, 0, 1, 0x80}), longer) + Frame("TIT2", "\3real"), 4)));
}

// A picture of 300 bytes ahead of the title: 00 00 01 2C read as syncsafe
// is 172, which lands inside the picture, and 00 00 02 2C read plainly is 556,
// which runs past the tag.
TEST(Id3v2Walk, TheSizesThatWalkToTheTagsEndWin) {
    std::string picture = Frame("TIT2", "\3decoy") + std::string(300 - 16, 'p');
    std::string title = Frame("TIT2", "\3real") + Frame("TPE1", "\3artist");
    // Version 3 as the standard has it, and version 4 as iTunes wrote it.
    for (int version : {3, 4})
        EXPECT_EQ(L"real",
                  Read(Tag(FrameSized("APIC", Plain(300), picture) + title, (BYTE)version)));
    // Version 4 as the standard has it, and version 3 as old taggers wrote it.
    for (int version : {3, 4})
        EXPECT_EQ(L"real",
                  Read(Tag(FrameSized("APIC", Syncsafe(300), picture) + title, (BYTE)version)));
}

TEST(Id3v2Walk, WhenNeitherReadingWalksTheFramesBeforeTheFaultAreRead) {
    std::string broken = FrameSized("TXXX", Bytes({0, 0, 2, 0x2C}), "\3x");
    std::string tag = Tag(Frame("TIT2", "\3kept") + broken + Frame("TPE1", "\3lost"), 3);
    EXPECT_EQ(L"kept", Read(tag, "TIT2"));
    EXPECT_EQ(std::nullopt, Read(tag, "TPE1"));
    // The frame at the fault is the wanted one: 556 plainly and 300 syncsafe
    // both run past the tag, whose end cuts its text.
    tag = Tag(Frame("TPE1", "\3kept") + FrameSized("TIT2", Bytes({0, 0, 2, 0x2C}), "\3cut"), 3);
    EXPECT_EQ(L"cut", Read(tag, "TIT2"));
    EXPECT_EQ(L"kept", Read(tag, "TPE1"));
}

TEST(Id3v2Walk, FrameSizePointingPastTheTagEndsTheWalk) {
    for (const std::string &size :
         {Bytes({0x7F, 0x7F, 0x7F, 0x7F}), Bytes({0xFF, 0xFF, 0xFF, 0xFF}), Syncsafe(40)}) {
        std::string tag = Tag(FrameSized("TXXX", size, "\3x") + Frame("TIT2", "\3inside"));
        EXPECT_EQ(std::nullopt, Read(tag));
    }
}

TEST(Id3v2Walk, MatchingFrameRunningPastTheAreaIsCutAtItsEnd) {
    EXPECT_EQ(L"cut", Read(Tag(FrameSized("TIT2", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), "\3cut"))));
    EXPECT_EQ(L"A", Read(Tag(FrameSized("TIT2", Syncsafe(9), Bytes({1, 'A', 0})))));
    // Nothing of the frame but its header fits: no encoding byte, no text.
    EXPECT_EQ(std::nullopt, Read(Tag(Other + FrameSized("TIT2", Syncsafe(5), ""))));
}

TEST(Id3v2Walk, MatchingFrameOfSizeZeroGivesNoTextAndTheWalkGoesOn) {
    std::string empty = FrameSized("TIT2", Syncsafe(0), "");
    EXPECT_EQ(L"next", Read(Tag(empty + Frame("TIT2", "\3next"))));
    EXPECT_EQ(std::nullopt, Read(Tag(empty)));
}

TEST(Id3v2Walk, APartialHeaderAtTheEndIsNotRead) {
    const std::string header = std::string("TIT2\0\0\0\1\0\0", 10);
    for (size_t length = 1; length < header.size(); ++length) {
        EXPECT_EQ(std::nullopt, Read(Tag(Other + header.substr(0, length))));
        EXPECT_EQ(std::nullopt, Find(header.substr(0, length)));
    }
    EXPECT_EQ(std::nullopt, Find(""));
}

TEST(Id3v2Header, UnsynchronisationRemovesOneZeroAfterEachFF) {
    // Read with FF 00 00 as FF 00 the text is FF41 4200 4300; left alone it
    // ends after FF41, and with both zeros removed it reads FF41 0042 0043.
    std::string frame =
        FrameSized("TIT2", Syncsafe(8), Bytes({1, 'A', 0xFF, 0, 0, 'B', 0, 'C', 0}));
    EXPECT_EQ(L"\xFF41\x4200\x4300", Read(Tag(frame, 3, 0x80)));
    EXPECT_EQ(L"\xFF41", Read(Tag(frame, 3, 0)));
    // FF FF 00 keeps both FF bytes and loses the zero.
    std::string twice = FrameSized("TIT2", Syncsafe(7), Bytes({1, 'A', 0xFF, 0xFF, 0, 'B', 0}));
    EXPECT_EQ(L"\xFF41\x42FF", Read(Tag(twice, 3, 0x80)));
}

// Version 4 unsynchronises frame by frame, and its sizes count the bytes as
// they stand in the file.
TEST(Id3v2Header, Version4UndoesUnsynchronisationPerFrame) {
    std::string data = Bytes({1, 'A', 0xFF, 0, 0xFE, 'B', 0});
    std::string after = Frame("TPE1", "\3next");
    EXPECT_EQ(L"\xFF41\x42FE", Read(Tag(FrameSized("TIT2", Syncsafe(7), data, 0x02) + after, 4)));
    EXPECT_EQ(L"\xFF41\x42FE", Read(Tag(Frame("TIT2", data) + after, 4, 0x80)));
    EXPECT_EQ(L"\xFF41\xFE00\x0042", Read(Tag(Frame("TIT2", data) + after, 4)));
    EXPECT_EQ(L"next", Read(Tag(FrameSized("TIT2", Syncsafe(7), data, 0x02) + after, 4), "TPE1"));
}

TEST(Id3v2Header, FlagsThatAddBytesBeforeTheDataAreHonoured) {
    std::string later = Frame("TIT2", "\3later");
    // Version 4: the data-length indicator (4 bytes) and the group (1 byte).
    EXPECT_EQ(L"dli", Read(Tag(FrameSized("TIT2", Syncsafe(8), Syncsafe(4) + "\3dli", 0x01), 4)));
    EXPECT_EQ(L"grp", Read(Tag(FrameSized("TIT2", Syncsafe(5), "g\3grp", 0x40), 4)));
    // A data-length indicator larger than the frame is not believed: the text
    // ends with the frame, unsynchronised or not.
    EXPECT_EQ(L"x", Read(Tag(FrameSized("TIT2", Syncsafe(6), Syncsafe(999) + "\3x", 0x01), 4)));
    EXPECT_EQ(L"x",
              Read(Tag(FrameSized("TIT2", Syncsafe(6), Syncsafe(999) + "\3x", 0x01) + later, 4)));
    EXPECT_EQ(L"x", Read(Tag(FrameSized("TIT2", Syncsafe(6),
                                        Bytes({0x7F, 0x7F, 0x7F, 0x7F}) + "\3x", 0x03),
                             4)));
    // A frame that holds the indicator alone or not even that: no text, and
    // the walk goes on.
    EXPECT_EQ(L"later", Read(Tag(FrameSized("TIT2", Syncsafe(4), Syncsafe(1), 0x01) + later, 4)));
    EXPECT_EQ(L"later", Read(Tag(FrameSized("TIT2", Syncsafe(3), "\3ab", 0x01) + later, 4)));
    // Version 3: the group byte.
    EXPECT_EQ(L"grp", Read(Tag(FrameSized("TIT2", Plain(5), "g\3grp", 0x20), 3)));
    // Compressed and encrypted frames are passed over, in both versions.
    for (int flags : {0x08, 0x04})
        EXPECT_EQ(
            L"later",
            Read(Tag(FrameSized("TIT2", Syncsafe(8), Syncsafe(4) + "\3zip", (BYTE)flags) + later,
                     4)));
    for (int flags : {0x80, 0x40})
        EXPECT_EQ(
            L"later",
            Read(Tag(FrameSized("TIT2", Plain(8), Plain(4) + "\3zip", (BYTE)flags) + later, 3)));
}

TEST(Id3v2Version2, ThreeLetterIdsAndSixByteHeaders) {
    std::string tag = Tag(Frame22("TP1", "\3artist") + Frame22("TT2", Bytes({1, 'T', 0})), 2);
    EXPECT_EQ(L"artist", Read(tag, "TPE1"));
    EXPECT_EQ(L"T", Read(tag, "TIT2"));
    EXPECT_EQ(std::nullopt, Read(tag, "TXXX"));
    // Sizes are three plain bytes: 01 2C is 300.
    std::string picture = Frame22("PIC", std::string(300, 'p'));
    EXPECT_EQ(L"after", Read(Tag(picture + Frame22("TT2", "\3after"), 2)));
    // A compressed version 2 tag cannot be read.
    EXPECT_EQ(std::nullopt, Read(Tag(Frame22("TT2", "\3t"), 2, 0x40)));
    // Four-letter frames mean nothing in version 2.
    EXPECT_EQ(std::nullopt, Read(Tag(Frame("TIT2", "\3t"), 2)));
}

TEST(Id3v2Version2, FramesCutShortAreNotReadPastTheTag) {
    // Whatever is left of each text, and never a text from elsewhere.
    auto leftOf = [](const wchar_t *text, const std::optional<std::wstring> &read) {
        return !read || std::wstring(text).compare(0, read->size(), *read) == 0;
    };
    std::string whole = Frame22("TP1", "\3a") + Frame22("TT2", "\3title");
    for (size_t length = 1; length < whole.size(); ++length) {
        std::string tag = Tag(whole.substr(0, length), 2);
        EXPECT_TRUE(leftOf(L"title", Read(tag, "TIT2"))) << length;
        EXPECT_TRUE(leftOf(L"a", Read(tag, "TPE1"))) << length;
    }
    EXPECT_EQ(L"tit", Read(Tag(whole.substr(0, whole.size() - 2), 2)));
    // A size running past the tag, and one whose header is cut inside its
    // size bytes.
    EXPECT_EQ(L"cut", Read(Tag("TT2" + Bytes({0xFF, 0xFF, 0xFF}) + "\3cut", 2)));
    EXPECT_EQ(std::nullopt, Read(Tag(Frame22("TP1", "\3a") + "TT2" + Bytes({0, 0}), 2)));
}

TEST(Id3v2Header, UnsynchronisedTagMayEndInFF) {
    EXPECT_EQ(L"x", Read(Tag(Frame("TIT2", "\3x") + "\xFF", 3, 0x80)));
    EXPECT_EQ(L"\xFF78",
              Read(Tag(FrameSized("TIT2", Syncsafe(9), Bytes({1, 'x', 0xFF})), 3, 0x80)));
}

TEST(Id3v2Header, UnsynchronisedSizesCountTheBytesLeft) {
    std::string before = FrameSized("TXXX", Syncsafe(3), Bytes({3, 0xFF, 0, 'x'}));
    EXPECT_EQ(L"after", Read(Tag(before + Frame("TIT2", "\3after"), 3, 0x80)));
}

// Version 3 gives the extended header's size as a plain number that leaves
// out its own four bytes, version 4 as a syncsafe one that counts them: 00 00
// 01 00 is 256 bytes after the size in one and 128 in all in the other. Read
// the other way, each lands inside the skipped bytes or past the title.
TEST(Id3v2Header, ExtendedHeaderIsSkippedAsEachVersionSizesIt) {
    const struct {
        const char *name;
        BYTE version, flags;
        std::string extended;
    } cases[] = {
        {"3: flags and padding size", 3, 0x40, Plain(6) + std::string(6, '\0')},
        {"3: with a CRC", 3, 0x40, Plain(10) + Bytes({0x80, 0}) + std::string(8, 'c')},
        {"3: nothing after the size, unsynchronised", 3, 0xC0, Plain(0)},
        {"3: 256", 3, 0x40, Bytes({0, 0, 1, 0}) + std::string(256, 'x')},
        {"3: a byte of 128", 3, 0x40, Bytes({0, 0, 0, 0x80}) + std::string(128, 'x')},
        {"4: six bytes", 4, 0x40, Syncsafe(6) + Bytes({1, 0})},
        {"4: with a CRC", 4, 0x40, Syncsafe(12) + Bytes({1, 0x20, 5}) + std::string(5, 'c')},
        {"4: 128", 4, 0x40, Bytes({0, 0, 1, 0}) + Bytes({1, 0}) + std::string(122, 'x')},
        {"4: no bit masked", 4, 0x40,
         Bytes({0, 0, 0, 0x80}) + Bytes({1, 0}) + std::string(122, 'x')},
        {"4: unsynchronised", 4, 0xC0, Syncsafe(6) + Bytes({1, 0})},
        {"a later version as 4", 9, 0x40, Syncsafe(6) + Bytes({1, 0})},
    };
    for (const auto &c : cases)
        EXPECT_EQ(L"t", Read(Tag(c.extended + Frame("TIT2", "\3t"), c.version, c.flags))) << c.name;
}

TEST(Id3v2Header, TheExtendedHeaderFlagMeansOneFromVersionThree) {
    EXPECT_EQ(L"t", Read(Tag(Frame22("TT2", "\3t"), 2)));
    EXPECT_EQ(std::nullopt, Read(Tag(Frame("TIT2", "\3t"), 3, 0x40)));
}

TEST(Id3v2Header, ExtendedHeaderPointingPastTheTagGivesNone) {
    // The frame after the four size bytes takes 14 bytes.
    const std::string frame = Frame("TIT2", "\3abc");
    const struct {
        BYTE version;
        std::string size;
    } cases[] = {
        {4, Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {4, Bytes({0x7F, 0x7F, 0x7F, 0x7F})},
        {4, Syncsafe(19)},
        // It ends exactly at the tag's end: an area of no bytes.
        {4, Syncsafe(18)},
        // Smaller than its own size bytes.
        {4, Syncsafe(0)},
        {4, Syncsafe(3)},
        {3, Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {3, Plain(15)},
        {3, Plain(14)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(std::nullopt, Read(Tag(c.size + frame, c.version, 0x40)))
            << (int)c.version << ": " << (int)(BYTE)c.size[3];
    // Too short to hold its own size.
    for (int version : {3, 4})
        for (int length = 0; length < 4; ++length)
            EXPECT_EQ(std::nullopt, Read(Tag(std::string(length, 'T'), (BYTE)version, 0x40)));
}

TEST(Id3v2Header, TagOfItsHeaderAloneGivesNone) {
    for (int version : {2, 3, 4})
        for (int flags : {0x00, 0x40, 0x80, 0xC0, 0xFF})
            EXPECT_EQ(std::nullopt, Read(Tag("", (BYTE)version, (BYTE)flags)));
    EXPECT_EQ(nullptr, ParseId3v2Frame(NULL, "TIT2"));
}

TEST(Id3v2Header, TagSizeBoundsTheWalk) {
    // The block holds a frame beyond the size its header gives.
    std::string tag = Tag(Other) + Frame("TIT2", "\3beyond");
    EXPECT_EQ(std::nullopt, Read(tag));
    std::string unsynchronised = Tag(Other, 3, 0x80) + Frame("TIT2", "\3beyond");
    EXPECT_EQ(std::nullopt, Read(unsynchronised));
}

TEST(Id3v2Header, LargestTagSizeIsReadWhole) {
    // FF FF FF FF gives 538,984,575 bytes after the header; the frame sits at
    // the very end, past where any masked reading would stop.
    const SIZE_T total = 10 + 538984575;
    GUARDEDAREA area;
    ASSERT_TRUE(OpenGuardedArea(&area, total));
    BYTE *tag = ReserveBeforeGuard(&area, total);
    std::string header = "ID3" + Bytes({4, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    std::string frames = Frame("TXXX", "\3x");
    std::string last = Frame("TIT2", "\3end");
    memcpy(tag, header.data(), header.size());
    memcpy(tag + 10, frames.data(), frames.size());
    memcpy(tag + total - last.size(), last.data(), last.size());
    EXPECT_EQ(L"end", Take(ParseId3v2Frame(tag, "TIT2")));
    EXPECT_EQ(std::nullopt, Take(ParseId3v2Frame(tag, "TPE1")));
    CloseGuardedArea(&area);
}
