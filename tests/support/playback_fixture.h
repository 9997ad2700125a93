// For the tests of playback and of the commands: the real hidden main window
// with the recording bass.dll beside the test executable, a playlist built
// from files in a scratch folder, and the tray requests recorded instead of
// reaching the shell.
#ifndef TONQUIL_TESTS_PLAYBACK_FIXTURE_H
#define TONQUIL_TESTS_PLAYBACK_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

struct TrayRequest {
    DWORD message;
    UINT flags;
    std::wstring tip;
    std::wstring infoTitle;
    std::wstring info;
};

class PlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes tracks\name with content and appends it to the Playlist.
    std::wstring AddTrack(const std::wstring &name, const std::string &content = "OK");
    // Writes tracks\name without adding it; gives its path.
    std::wstring WriteTrack(const std::wstring &name, const std::string &content);
    // A file named bassplugN.dll in the test folder, offered to the library.
    void AddPluginFile(const std::wstring &name);
    // Replaces the test folder's bass.dll; TearDown puts the double back.
    void ReplaceAudioLibrary(const std::string &bytes);
    void RemoveAudioLibrary();

    std::vector<std::string> Calls() const;
    // The calls logged after the first `skip` lines.
    std::vector<std::string> CallsAfter(size_t skip) const;
    std::string Hwnd() const;
    std::string TrackPath(const std::wstring &name) const;
    std::vector<std::wstring> PlaylistPaths() const;
    std::wstring LastTip() const;
    // Fires the end sync of the stream on the double's own thread.
    int FireEnd(DWORD stream) const;

    std::wstring folder;
    std::wstring tracks;
    HWND window = NULL;
    std::vector<std::wstring> pluginFiles;
    bool libraryReplaced = false;
};

extern std::vector<TrayRequest> TrayRequests;

#endif
