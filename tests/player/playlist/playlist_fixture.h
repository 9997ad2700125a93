// What the playlist tests share: the records and list heads that the main
// window's creation would make, fresh for every test, real files to name in
// playlists, and checks that every link of the lists holds.
#ifndef TONQUIL_TESTS_PLAYLIST_FIXTURE_H
#define TONQUIL_TESTS_PLAYLIST_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "player/playlist/shuffle.h"

class PlaylistTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// A local time as SeedRandom takes it.
SYSTEMTIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                     WORD milliseconds);
// Creates an empty file in folder (which must exist); gives its path.
std::wstring MakeTrackFile(const std::wstring &folder, const std::wstring &name);
// Writes the bytes as folder\list.m3u and loads it; gives CountTracks.
LONG LoadPlaylistBytes(const std::wstring &folder, const std::string &bytes);
// The text in the ANSI code page, as a playlist file holds it.
std::string Ansi(const std::wstring &text);

std::vector<std::wstring> ListedPaths();
std::vector<LONG> ListedTrackIds();
std::vector<LONG> ShuffleTrackIds(const SHUFFLENODE *head);

::testing::AssertionResult PlaylistIsConsistent();
::testing::AssertionResult ShuffleIsConsistent();

#endif
