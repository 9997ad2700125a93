// Sheets as rippers write them, and damaged ones, against what the parser
// makes of them: each case's sheet rendered as one line of text.
#include <gtest/gtest.h>

#include "cue/cue_files.h"
#include "cue/cue_reference.h"
#include "test_support.h"

#include <memory>

namespace {

struct Case {
    const char *Name;
    std::string Bytes;
    UINT CodePage;
    const char *Want; // files, then each track: number, file, start-end, title/performer, gains
};

std::string Utf16(const std::wstring &text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        char high = (char)(c >> 8), low = (char)(c & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::string Render(const CUESHEET &sheet) {
    std::string text = "files";
    for (int i = 0; i < sheet.FileCount; ++i)
        text += " " + Utf8(sheet.Files[i]);
    if (sheet.AlbumGain[0] || sheet.AlbumPeak[0])
        text += std::string(" album ") + sheet.AlbumGain + "/" + sheet.AlbumPeak;
    for (int i = 0; i < sheet.TrackCount; ++i) {
        const CUETRACK &t = sheet.Tracks[i];
        text += "; " + std::to_string(t.Number) + " f" + std::to_string(t.File) + " " +
                std::to_string(t.Start) + "-" +
                (t.End == CUE_TO_FILE_END ? std::string("end") : std::to_string(t.End)) + " " +
                Utf8(t.Title) + "/" + Utf8(t.Performer);
        if (t.Gain[0] || t.Peak[0])
            text += std::string(" gain ") + t.Gain + "/" + t.Peak;
    }
    return text;
}

const std::string Plain = "PERFORMER \"Band\"\r\nTITLE \"Album\"\r\nFILE \"a.wav\" WAVE\r\n"
                          "  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n    INDEX 01 00:00:00\r\n"
                          "  TRACK 02 AUDIO\r\n    TITLE \"Two\"\r\n    PERFORMER \"Guest\"\r\n"
                          "    INDEX 00 00:04:00\r\n    INDEX 01 00:05:10\r\n";
const char *PlainWant = "files a.wav; 1 f0 0-385 One/Band; 2 f0 385-end Two/Guest";
const std::wstring Japanese =
    L"PERFORMER \"\x6b4c\x624b\"\nFILE \"\x76e4.flac\" WAVE\nTRACK 01 AUDIO\nTITLE "
    L"\"\x66f2\x4e00\"\nINDEX 01 00:00:00\n";
const char *JapaneseWant = "files \xe7\x9b\xa4.flac; 1 f0 0-end \xe6\x9b\xb2\xe4\xb8\x80/"
                           "\xe6\xad\x8c\xe6\x89\x8b";

std::string ShiftJis(const std::wstring &text) {
    int size = WideCharToMultiByte(932, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string bytes(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(932, 0, text.c_str(), (int)text.size(), &bytes[0], size, NULL, NULL);
    return bytes;
}

std::string ManyTracks(int count) {
    std::string sheet = "FILE a.flac WAVE\n";
    for (int i = 1; i <= count; ++i) {
        char line[64];
        wsprintfA(line, "TRACK %02d AUDIO\nINDEX 01 %02d:00:00\n", i, i);
        sheet += line;
    }
    return sheet;
}

const Case Cases[] = {
    {"CR LF, quotes, INDEX 00 left to the track before", Plain, 1252, PlainWant},
    {"LF alone",
     "PERFORMER \"Band\"\nTITLE \"Album\"\nFILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n"
     " TITLE \"One\"\n INDEX 01 00:00:00\n TRACK 02 AUDIO\n TITLE \"Two\"\n"
     " PERFORMER \"Guest\"\n INDEX 01 00:05:10",
     1252, PlainWant},
    {"UTF-8 with its mark", "\xEF\xBB\xBF" + Utf8(Japanese), 1252, JapaneseWant},
    {"UTF-8 without a mark", Utf8(Japanese), 1252, JapaneseWant},
    {"UTF-16 LE", Utf16(Japanese, false), 1252, JapaneseWant},
    {"UTF-16 BE", Utf16(Japanese, true), 1252, JapaneseWant},
    {"Shift_JIS in the ANSI code page 932", ShiftJis(Japanese), 932, JapaneseWant},
    {"Latin-1 in the ANSI code page 1252",
     "FILE a.wav WAVE\nTRACK 1 AUDIO\nTITLE Caf\xE9\n"
     "INDEX 01 00:00:00\n",
     1252, "files a.wav; 1 f0 0-end Caf\xC3\xA9/"},
    {"unquoted values, keywords in any case, names with spaces",
     "file My Album.flac WAVE\ntrack 01 audio\n  title  Side A  \n  performer X Y\n"
     "  index 01 01:02:03\n",
     1252, "files My Album.flac; 1 f0 4653-end Side A/X Y"},
    {"REM lines: ReplayGain of album and tracks, others passed over",
     "REM GENRE Rock\nREM REPLAYGAIN_ALBUM_GAIN -7.89 dB\nREM REPLAYGAIN_ALBUM_PEAK 0.988\n"
     "FILE a.ape WAVE\nTRACK 01 AUDIO\nREM REPLAYGAIN_TRACK_GAIN -6.50 dB\n"
     "REM REPLAYGAIN_TRACK_PEAK 0.5\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:10:00\n",
     1252, "files a.ape album -7.89 dB/0.988; 1 f0 0-750 / gain -6.50 dB/0.5; 2 f0 750-end /"},
    {"several FILE lines: each track ends with its file",
     "FILE \"1.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 "
     "00:02:00\nFILE \"2.wav\" WAVE\nTRACK 03 AUDIO\nINDEX 01 00:00:00\n",
     1252, "files 1.wav 2.wav; 1 f0 0-150 /; 2 f0 150-end /; 3 f1 0-end /"},
    {"a hidden first pregap is not played",
     "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 00 00:00:00\nINDEX 01 00:02:33\nTRACK 02 AUDIO\n"
     "INDEX 01 00:04:00\n",
     1252, "files a.wav; 1 f0 183-300 /; 2 f0 300-end /"},
    {"garbage lines, data tracks and a track without INDEX 01",
     "\x01\x02 nonsense\nTRACK\nFILE a.wav WAVE\nCATALOG 123\nTRACK 01 MODE1/2352\n"
     "INDEX 01 00:00:00\nTRACK 02 AUDIO\nFLAGS DCP\nINDEX 01 00:01:00\nTRACK 03 AUDIO\n"
     "TITLE Lost\nTRACK 04 AUDIO\nINDEX 01\nINDEX\nINDEX 01 00:03:00\n",
     1252, "files a.wav; 2 f0 75-225 /; 4 f0 225-end /"},
    {"indexes out of order, a repeated number: those tracks are left out",
     "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:05:00\nTRACK 02 AUDIO\nINDEX 01 00:03:00\n"
     "TRACK 03 AUDIO\nINDEX 01 00:09:00\nTRACK 03 AUDIO\nINDEX 01 00:12:00\n",
     1252, "files a.wav; 1 f0 375-675 /; 3 f0 675-end /"},
    {"absurd timestamps are no index",
     "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:75\nTRACK 02 AUDIO\nINDEX 01 00:60:00\n"
     "TRACK 03 AUDIO\nINDEX 01 12345678:00:00\nTRACK 04 AUDIO\nINDEX 01 -1:00:00\n"
     "TRACK 05 AUDIO\nINDEX 01 9999:59:74\n",
     1252, "files a.wav; 5 f0 44999999-end /"},
    {"tracks before any FILE, and a track number over 99",
     "TRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE a.wav WAVE\nTRACK 100 AUDIO\nINDEX 01 00:00:00\n"
     "TRACK 07 AUDIO\nINDEX 01 00:01:00\n",
     1252, "files a.wav; 7 f0 75-end /"},
    {"a sheet of 10,000 tracks keeps its first 99", ManyTracks(10000), 1252, nullptr},
    {"no valid encoding", "FILE a.wav WAVE\nTRACK 01 AUDIO\nTITLE \x82\xFF\nINDEX 01 00:00:00\n",
     932, "files"},
    {"a zero byte", std::string("FILE a.wav WAVE\nTRACK 01 AUDIO\0\nINDEX 01 00:00:00\n", 44), 1252,
     "files"},
    {"a broken UTF-16 sheet of odd length", Utf16(L"FILE a.wav", false) + "\x41", 1252,
     "files a.wav"},
    {"larger than any sheet", std::string(CUE_LARGEST_SHEET_BYTES + 1, 'A'), 1252, "files"},
};

} // namespace

TEST(CueSheet, ParsesEachSheetOfTheTable) {
    std::unique_ptr<CUESHEET> sheet(new CUESHEET);
    for (const Case &c : Cases) {
        SCOPED_TRACE(c.Name);
        int tracks = ParseCueSheet((const BYTE *)c.Bytes.data(), (DWORD)c.Bytes.size(), c.CodePage,
                                   sheet.get());
        EXPECT_EQ(sheet->TrackCount, tracks);
        if (c.Want) {
            EXPECT_EQ(c.Want, Render(*sheet));
            continue;
        }
        ASSERT_EQ(CUE_MAX_TRACKS, tracks);
        EXPECT_EQ(99, sheet->Tracks[98].Number);
        EXPECT_EQ(CUE_TO_FILE_END, sheet->Tracks[98].End);
    }
}

TEST(CueSheet, FindsTheFileOrTheSameNameOfAnotherKindButNeverASheet) {
    std::wstring folder = MakeScratchFolder(L"files");
    for (const wchar_t *name :
         {L"rip.flac", L"here.wav", L"other.cue", L"img.tak", L"pair.tak", L"pair.wv"})
        ASSERT_TRUE(WriteBytes(folder + name, "x"));
    CreateDirectoryW((folder + L"sub").c_str(), NULL);
    ASSERT_TRUE(WriteBytes(folder + L"sub\\deep.ape", "x"));
    std::wstring sheet = folder + L"album.cue";
    ASSERT_TRUE(WriteBytes(sheet, "x"));
    std::wstring absolute = folder + L"here.wav";
    struct {
        const wchar_t *Name;
        std::wstring Want; // empty: refused
    } names[] = {
        {L"here.wav", folder + L"here.wav"},
        {L"rip.wav", folder + L"rip.flac"}, // ripped as WAV, compressed later
        {L"rip", folder + L"rip.flac"},
        {L"sub/deep.wav", folder + L"sub\\deep.ape"},
        {L"img.wav", folder + L"img.tak"},
        {L"pair.wav", folder + L"pair.wv"}, // WavPack is looked for before TAK
        {absolute.c_str(), absolute},
        {L"gone.wav", L""},
        {L"album.cue", L""},
        {L"other.cue", L""},
        {L"", L""},
    };
    for (const auto &name : names) {
        SCOPED_TRACE(Utf8(name.Name));
        WCHAR found[MAX_PATH] = L"";
        EXPECT_EQ(!name.Want.empty(), ResolveCueFile(sheet.c_str(), name.Name, found) != 0);
        if (!name.Want.empty()) {
            EXPECT_EQ(name.Want, std::wstring(found));
        }
    }
}

TEST(CueSheet, ReferencesNameATrackAndNeverAFile) {
    WCHAR reference[MAX_PATH], path[MAX_PATH];
    int number = 0;
    ASSERT_TRUE(MakeCueReference(L"D:\\Music\\album.cue", 7, reference));
    EXPECT_STREQ(L"D:\\Music\\album.cue|7", reference);
    ASSERT_TRUE(SplitCueReference(reference, path, &number));
    EXPECT_STREQ(L"D:\\Music\\album.cue", path);
    EXPECT_EQ(7, number);
    for (const wchar_t *text : {L"D:\\a.cue", L"D:\\a.cue|", L"D:\\a.cue|0", L"D:\\a.cue|07",
                                L"D:\\a.cue|100", L"|5", L"D:\\a.cue|x5"})
        EXPECT_FALSE(SplitCueReference(text, path, &number)) << Utf8(text);
    std::wstring longest(MAX_PATH - 3, L'a');
    EXPECT_FALSE(MakeCueReference(longest.c_str(), 12, reference));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"C:\\windows\\win.ini|1"));
}
