// Sheets that images embed, in FLAC's Vorbis comments and in APEv2 tags at
// the end of the other kinds, written here byte by byte, and damaged ones:
// what each file reads as, and that the playlist's reading finds the image.
#include <gtest/gtest.h>

#include "cue/cue_embedded.h"
#include "cue/cue_files.h"
#include "test_support.h"

#include <memory>

namespace {

const std::string Sheet = "PERFORMER \"Band\"\r\nFILE \"CDImage.wav\" WAVE\r\n"
                          "  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n    INDEX 01 00:00:00\r\n"
                          "  TRACK 02 AUDIO\r\n    TITLE \"二\"\r\n    INDEX 00 00:01:00\r\n"
                          "    INDEX 01 00:02:00\r\n";
const char *const Read = "2 tracks, 1: 0-150 One/Band, 2: 150-end 二/Band";

std::string Le32(size_t value) {
    return {(char)(value & 0xFF), (char)(value >> 8 & 0xFF), (char)(value >> 16 & 0xFF),
            (char)(value >> 24 & 0xFF)};
}

std::string FlacBlock(int type, const std::string &body, bool last) {
    size_t n = body.size();
    return std::string{(char)(type | (last ? 0x80 : 0)), (char)(n >> 16 & 0xFF),
                       (char)(n >> 8 & 0xFF), (char)(n & 0xFF)} +
           body;
}

std::string Be64(unsigned long long value) {
    std::string bytes;
    for (int shift = 56; shift >= 0; shift -= 8)
        bytes += (char)(value >> shift & 0xFF);
    return bytes;
}

// FLAC's binary CUESHEET block; each track an offset, a number and its
// index points (number, offset).
struct BlockTrack {
    unsigned long long Offset;
    int Number;
    std::vector<std::pair<int, unsigned long long>> Points;
};

std::string SheetBlock(const std::vector<BlockTrack> &tracks) {
    std::string block = std::string(395, '\0') + (char)tracks.size();
    for (const BlockTrack &track : tracks) {
        block += Be64(track.Offset) + (char)track.Number + std::string(26, '\0') +
                 (char)track.Points.size();
        for (const auto &point : track.Points)
            block += Be64(point.second) + (char)point.first + std::string(3, '\0');
    }
    return block;
}

std::string Comments(const std::vector<std::string> &comments) {
    std::string block = Le32(6) + "vendor" + Le32(comments.size());
    for (const std::string &comment : comments)
        block += Le32(comment.size()) + comment;
    return block;
}

std::string Flac(const std::vector<std::string> &blocks) {
    std::string file = "fLaC";
    for (const std::string &block : blocks)
        file += block;
    return file + std::string(64, '\x55');
}

std::string ApeItem(const std::string &key, const std::string &value, int flags = 0) {
    return Le32(value.size()) + Le32(flags) + key + '\0' + value;
}

std::string ApeTag(const std::vector<std::string> &items, size_t statedSize = 0) {
    std::string body;
    for (const std::string &item : items)
        body += item;
    size_t size = statedSize ? statedSize : body.size() + 32;
    return body + "APETAGEX" + Le32(2000) + Le32(size) + Le32(items.size()) + Le32(0) +
           std::string(8, '\0');
}

std::string Render(int tracks, const CUESHEET &sheet) {
    if (!tracks)
        return "none";
    std::string text = std::to_string(tracks) + " tracks";
    for (int i = 0; i < sheet.TrackCount; ++i) {
        const CUETRACK &t = sheet.Tracks[i];
        text += ", " + std::to_string(t.Number) + ": " + std::to_string(t.Start) + "-" +
                (t.End == CUE_TO_FILE_END ? std::string("end") : std::to_string(t.End)) + " " +
                Utf8(t.Title) + "/" + Utf8(t.Performer);
    }
    return text;
}

} // namespace

TEST(EmbeddedCueSheet, ReadsTheSheetEachKindOfImageCarries) {
    const std::string audio(4000, '\x11'), info = FlacBlock(0, std::string(34, '\0'), false);
    // 44,100 Hz in STREAMINFO's 20 bits of rate.
    const std::string cdInfo =
        FlacBlock(0, std::string(10, '\0') + "\x0A\xC4\x42" + std::string(21, '\0'), false);
    const std::vector<BlockTrack> disc = {
        {0, 1, {{1, 0}}}, {88200, 2, {{0, 0}, {1, 44100}}}, {176400, 170, {}}};
    const std::string cut = SheetBlock(disc).substr(0, 396 + 36 + 12 + 36 + 12);
    const std::string picture = FlacBlock(6, std::string(70000, '\x7F'), false);
    const std::string id3v1 = "TAG" + std::string(125, ' ');
    const std::string twoFiles = Sheet + "FILE \"b.wav\" WAVE\r\n  TRACK 03 AUDIO\r\n"
                                         "    INDEX 01 00:00:00\r\n";
    const struct {
        const char *name, *file;
        std::string bytes;
        const char *want;
    } cases[] = {
        {"flac comment", "a.flac",
         Flac({info, FlacBlock(4, Comments({"TITLE=x", "CUESHEET=" + Sheet}), true)}), Read},
        {"flac comment in lower case, after a picture", "a.fla",
         Flac({info, picture, FlacBlock(4, Comments({"cuesheet=" + Sheet}), true)}), Read},
        {"flac binary sheet alone", "a.flac",
         Flac({cdInfo, FlacBlock(5, SheetBlock(disc), false),
               FlacBlock(4, Comments({"TITLE=x"}), true)}),
         "2 tracks, 1: 0-225 /, 2: 225-end /"},
        {"flac binary sheet and the comment: the comment names the tracks", "a.flac",
         Flac({cdInfo, FlacBlock(5, SheetBlock(disc), false),
               FlacBlock(4, Comments({"CUESHEET=" + Sheet}), true)}),
         Read},
        {"flac binary sheet cut inside its second track's points", "a.flac",
         Flac({cdInfo, FlacBlock(5, cut, true)}), "1 tracks, 1: 0-end /"},
        {"flac binary sheet without a rate", "a.flac",
         Flac({info, FlacBlock(5, SheetBlock(disc), true)}), "none"},
        {"flac without the comment", "a.flac",
         Flac({info, FlacBlock(4, Comments({"TITLE=x"}), true)}), "none"},
        {"flac whose sheet names two files", "a.flac",
         Flac({info, FlacBlock(4, Comments({"CUESHEET=" + twoFiles}), true)}), "none"},
        {"flac comment longer than its block", "a.flac",
         Flac({info, FlacBlock(4, Le32(6) + "vendor" + Le32(1) + Le32(90000) + "CUESHEET=", true)}),
         "none"},
        {"flac block longer than the file", "a.flac",
         "fLaC" + info.substr(0, 1) + "\xFF\xFF\xFF" + std::string(34, '\0'), "none"},
        {"flac without a last block", "a.flac", Flac({info, info, info}), "none"},
        {"flac named, but no flac", "a.flac", "RIFF" + audio, "none"},
        {"ape item", "a.ape",
         "MAC " + audio + ApeTag({ApeItem("Artist", "x"), ApeItem("Cuesheet", Sheet)}), Read},
        {"wavpack item before an ID3v1 tag", "a.wv",
         "wvpk" + audio + ApeTag({ApeItem("CUESHEET", Sheet)}) + id3v1, Read},
        {"tta item", "a.tta", "TTA1" + audio + ApeTag({ApeItem("cuesheet", Sheet)}), Read},
        {"tak item", "a.tak", "tBaK" + audio + ApeTag({ApeItem("Cuesheet", Sheet)}), Read},
        {"binary item of the name", "a.ape",
         "MAC " + audio + ApeTag({ApeItem("Cuesheet", Sheet, 2)}), "none"},
        {"tag stating 100 MB", "a.wv",
         "wvpk" + audio + ApeTag({ApeItem("Cuesheet", Sheet)}, 100u << 20), "none"},
        {"item longer than the tag", "a.wv",
         "wvpk" + audio + ApeTag({Le32(90000) + Le32(0) + "Cuesheet" + '\0' + Sheet}), "none"},
        {"no tag", "a.ape", "MAC " + audio, "none"},
        {"empty file", "a.tta", "", "none"},
        {"an mp3 is never read", "a.mp3", "ID3" + ApeTag({ApeItem("Cuesheet", Sheet)}), "none"},
    };
    std::unique_ptr<CUESHEET> sheet(new CUESHEET);
    std::wstring folder = MakeScratchFolder(L"embedded");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string name = c.file;
        std::wstring path = folder + std::wstring(name.begin(), name.end());
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        EXPECT_EQ(c.want, Render(ReadCueSheetFile(path.c_str(), sheet.get()), *sheet));
        WCHAR file[MAX_PATH];
        if (std::string(c.want) != "none") {
            // The tracks play from the image, whatever the FILE line named.
            ASSERT_EQ(1, ResolveCueFile(path.c_str(), sheet->Files[0], file));
            EXPECT_EQ(path, file);
        }
    }
}

// The same reading of what Debian's flac and wavpack write (make-fixtures.sh).
TEST(EmbeddedCueSheet, ReadsWhatTheEncodersEmbed) {
    const char *const named =
        "3 tracks, 1: 0-75 One/Band, 2: 75-150 Two/Band, 3: 150-end Three/Band";
    const struct {
        const wchar_t *file;
        const char *want;
    } cases[] = {
        {L"flac-block.flac", "3 tracks, 1: 0-75 /, 2: 75-150 /, 3: 150-end /"},
        {L"flac-tag.flac", named},
        {L"wavpack.wv", named},
    };
    std::unique_ptr<CUESHEET> sheet(new CUESHEET);
    for (const auto &c : cases) {
        SCOPED_TRACE(Utf8(c.file));
        std::wstring path = TestFolder() + L"fixtures\\" + c.file;
        EXPECT_EQ(c.want, Render(ReadCueSheetFile(path.c_str(), sheet.get()), *sheet));
    }
}
