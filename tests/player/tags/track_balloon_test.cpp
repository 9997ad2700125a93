// Artist and title in the balloon of a starting track: the real hidden main
// window plays a track through the recording bass.dll, which serves the tag
// blocks of <track>.id3v1 and <track>.id3v2, and the shell's requests are
// recorded instead of made.
#include <gtest/gtest.h>

#include <vector>

#include "player_window.h"
#include "tag_bytes.h"
#include "test_support.h"
#include "tonquil_extension.h"
#include "player/tray/tray_icon.h"

namespace {

std::vector<NOTIFYICONDATAW> Balloons;

BOOL WINAPI RecordBalloon(DWORD message, PNOTIFYICONDATAW data) {
    if (message == NIM_MODIFY && (data->uFlags & NIF_INFO))
        Balloons.push_back(*data);
    return TRUE;
}

struct BALLOON {
    std::wstring title, text;
};

// A track file in a fresh folder, with the tag blocks that are given.
std::wstring WriteTrack(const std::wstring &name, const std::optional<std::string> &id3v1,
                        const std::optional<std::string> &id3v2) {
    std::wstring path = MakeScratchFolder(L"balloon") + name;
    EXPECT_TRUE(WriteBytes(path, "audio"));
    if (id3v1) {
        EXPECT_TRUE(WriteBytes(path + L".id3v1", *id3v1));
    }
    if (id3v2) {
        EXPECT_TRUE(WriteBytes(path + L".id3v2", *id3v2));
    }
    return path;
}

// Plays the track as the one entry of the playlist and gives the balloon the
// window asked for; the test fails unless there was exactly one.
BALLOON PlayAndCatchBalloon(const std::wstring &track, int showInfo) {
    std::string settings = "[Client]\r\nShowInfo=" + std::to_string(showInfo) + "\r\nTrackNo=0\r\n";
    EXPECT_TRUE(WriteBytes(TestFolder() + L"tonquil.ini", settings));
    EXPECT_TRUE(WriteBytes(TestFolder() + L"tonquil.m3u", Utf8(track) + "\r\n"));
    Balloons.clear();
    NotifyIconCall = RecordBalloon;
    HWND window = StartPlayerWindow();
    EXPECT_NE(nullptr, window);
    SendMessageW(window, WM_COMMAND, IDM_PLAY, 0);
    PumpMessages();
    ClosePlayerWindow(window);
    NotifyIconCall = Shell_NotifyIconW;
    EXPECT_EQ(1u, Balloons.size());
    if (Balloons.empty())
        return BALLOON();
    const NOTIFYICONDATAW &last = Balloons.back();
    EXPECT_EQ(window, last.hWnd);
    EXPECT_EQ((UINT)TRAY_ICON_ID, last.uID);
    return BALLOON{last.szInfoTitle, last.szInfo};
}

std::string Utf16(const wchar_t *text) {
    std::string bytes = Bytes({1, 0xFF, 0xFE});
    for (const wchar_t *c = text; *c; ++c)
        bytes += Bytes({*c & 0xFF, *c >> 8});
    return bytes;
}

} // namespace

TEST(TrackBalloon, ArtistIsTheTitleAndTheSongTitleTheText) {
    std::wstring track =
        WriteTrack(L"tagged.mp3", std::nullopt,
                   Tag(Frame("TPE1", Utf16(L"Bj\x00F6rk")) + Frame("TIT2", "\3J\xC3\xB3ga")));
    BALLOON balloon = PlayAndCatchBalloon(track, 2);
    EXPECT_EQ(L"Bj\x00F6rk", balloon.title);
    EXPECT_EQ(L"J\x00F3ga", balloon.text);
}

TEST(TrackBalloon, Id3v2WinsOverTheCutId3v1) {
    std::string longTitle = "A title that runs past thirty bytes";
    std::wstring track =
        WriteTrack(L"both.mp3", Id3v1(longTitle, "  Old Artist "),
                   Tag(Frame("TPE1", "\3New Artist") + Frame("TIT2", "\3" + longTitle)));
    BALLOON balloon = PlayAndCatchBalloon(track, 2);
    EXPECT_EQ(L"New Artist", balloon.title);
    EXPECT_EQ(L"A title that runs past thirty bytes", balloon.text);
}

TEST(TrackBalloon, EachTextFallsBackToId3v1OnItsOwn) {
    std::wstring track = WriteTrack(L"mixed.mp3", Id3v1("Old Title", "Old Artist"),
                                    Tag(Frame("TPE1", "\3New Artist") + Frame("TIT2", Bytes({3}))));
    BALLOON balloon = PlayAndCatchBalloon(track, 2);
    EXPECT_EQ(L"New Artist", balloon.title);
    EXPECT_EQ(L"Old Title", balloon.text);

    track = WriteTrack(L"mixed.mp3", Id3v1("Old Title", "Old Artist"),
                       Tag(Frame("TIT2", "\3New Title")));
    balloon = PlayAndCatchBalloon(track, 2);
    EXPECT_EQ(L"Old Artist", balloon.title);
    EXPECT_EQ(L"New Title", balloon.text);
}

TEST(TrackBalloon, NoTitleOrAnEmptyOneShowsTheBaseName) {
    BALLOON balloon =
        PlayAndCatchBalloon(WriteTrack(L"untagged.mp3", std::nullopt, std::nullopt), 2);
    EXPECT_EQ(L"", balloon.title);
    EXPECT_EQ(L"untagged.mp3", balloon.text);

    std::wstring track = WriteTrack(L"empty title.mp3", std::nullopt,
                                    Tag(Frame("TIT2", Bytes({0})) + Frame("TPE1", "\3Artist")));
    balloon = PlayAndCatchBalloon(track, 2);
    EXPECT_EQ(L"Artist", balloon.title);
    EXPECT_EQ(L"empty title.mp3", balloon.text);
}

TEST(TrackBalloon, NoArtistLeavesTheBalloonWithoutTitle) {
    std::wstring track = WriteTrack(L"title only.mp3", Id3v1("Only a title", ""), std::nullopt);
    BALLOON balloon = PlayAndCatchBalloon(track, 2);
    EXPECT_EQ(L"", balloon.title);
    EXPECT_EQ(L"Only a title", balloon.text);
}

TEST(TrackBalloon, ShowInfoOneShowsTheBaseNameEvenWithTags) {
    std::wstring track = WriteTrack(L"named.mp3", Id3v1("Title", "Artist"),
                                    Tag(Frame("TPE1", "\3Artist") + Frame("TIT2", "\3Title")));
    BALLOON balloon = PlayAndCatchBalloon(track, 1);
    EXPECT_EQ(L"", balloon.title);
    EXPECT_EQ(L"named.mp3", balloon.text);
}
