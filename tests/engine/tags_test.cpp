// The ID3 blocks a stream hands out: exactly as they stand in the file.
#include <gtest/gtest.h>

#include "engine_support.h"

namespace {

class Tags : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
    }
    void TearDown() override {
        BASS_Free();
    }
};

// The ID3v2 header's size: four bytes of seven bits each.
size_t StatedSize(const std::string &file) {
    size_t size = 0;
    for (int i = 6; i < 10; ++i)
        size = (size << 7) | ((unsigned char)file[i] & 0x7F);
    return size;
}

std::string Id3v2Header(DWORD size) {
    std::string header = "ID3\x03";
    header += '\0';
    header += '\0';
    for (int shift = 21; shift >= 0; shift -= 7)
        header += (char)((size >> shift) & 0x7F);
    return header;
}

} // namespace

TEST_F(Tags, GivesBothBlocksOfATaggedFileWhileTheStreamLives) {
    std::string file = Fixture("tagged.mp3");
    ASSERT_EQ("ID3", file.substr(0, 3));
    ASSERT_EQ("TAG", file.substr(file.size() - 128, 3));
    HSTREAM stream = BASS_StreamCreateFile(FALSE, FixturePath("tagged.mp3").c_str(), 0, 0,
                                           BASS_UNICODE | BASS_STREAM_AUTOFREE);
    ASSERT_NE(0u, stream);
    const char *v1 = BASS_ChannelGetTags(stream, BASS_TAG_ID3);
    const char *v2 = BASS_ChannelGetTags(stream, BASS_TAG_ID3V2);
    ASSERT_NE(nullptr, v1);
    ASSERT_NE(nullptr, v2);
    EXPECT_EQ(file.substr(file.size() - 128), std::string(v1, 128));
    size_t v2Size = 10 + StatedSize(file);
    EXPECT_EQ(file.substr(0, v2Size), std::string(v2, v2Size));
    EXPECT_NE(std::string::npos, std::string(v2, v2Size).find("TIT2")); // the title frame
    EXPECT_EQ(v1, BASS_ChannelGetTags(stream, BASS_TAG_ID3));
    EXPECT_EQ(nullptr, BASS_ChannelGetTags(stream, 2));
    BASS_ChannelStop(stream);
    EXPECT_EQ(nullptr, BASS_ChannelGetTags(stream, BASS_TAG_ID3));
}

TEST_F(Tags, GivesNothingForUntaggedOrCutTags) {
    std::string wav = PcmWav(1, 8000, NoiseSamples(100, 1, 100));
    HSTREAM plain = BASS_StreamCreateFile(TRUE, wav.data(), 0, (DWORD)wav.size(), 0);
    ASSERT_NE(0u, plain);
    EXPECT_EQ(nullptr, BASS_ChannelGetTags(plain, BASS_TAG_ID3));
    EXPECT_EQ(nullptr, BASS_ChannelGetTags(plain, BASS_TAG_ID3V2));

    // An ID3v2 header claiming more than the file holds is no tag.
    std::string mp3 = Fixture("mono-22k.mp3");
    std::string cut = Id3v2Header(1u << 26) + mp3;
    HSTREAM stream = BASS_StreamCreateFile(TRUE, cut.data(), 0, (DWORD)cut.size(), 0);
    ASSERT_NE(0u, stream);
    EXPECT_EQ(nullptr, BASS_ChannelGetTags(stream, BASS_TAG_ID3V2));
    // One that fits is skipped before the frames are looked for, and handed out whole.
    std::string tagged = Id3v2Header(300) + std::string(300, '\xFF') + mp3;
    stream = BASS_StreamCreateFile(TRUE, tagged.data(), 0, (DWORD)tagged.size(), 0);
    ASSERT_NE(0u, stream);
    const char *block = BASS_ChannelGetTags(stream, BASS_TAG_ID3V2);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(tagged.substr(0, 310), std::string(block, 310));
}
