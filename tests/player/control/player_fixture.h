// A real main window inside the test process, in the test's own folder with
// the recording audio library and, as a test chooses, an extension module.
#ifndef TONQUIL_TESTS_CONTROL_PLAYER_FIXTURE_H
#define TONQUIL_TESTS_CONTROL_PLAYER_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

enum ModuleKind {
    NO_MODULE,
    RECORDING_MODULE,      // the extension double
    MODULE_WITHOUT_EXPORT, // a DLL that lacks DynamicWndProc
    MODULE_NOT_A_DLL,      // a text file named tonquil.dll
    MODULE_OTHER_MACHINE,  // the extension double marked as the other machine's code
};

class PlayerTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the main window (OnCreate reads the settings written so far).
    HWND Open();
    void Close();
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT Command(WORD id);

    // An existing file that the audio double opens; gives its full path.
    std::wstring Track(const wchar_t *name);
    // tonquil.m3u listing these tracks (created with Track).
    void WritePlaylist(const std::vector<const wchar_t *> &names);
    // tonquil.m3u listing files of the given names and contents in tracks\.
    void WriteTracks(const std::vector<std::pair<std::wstring, std::string>> &tracks);
    void WriteSetting(const wchar_t *key, const wchar_t *value);
    void UseModule(ModuleKind kind);
    // A key of the extension double's [Double] section.
    void ConfigureModule(const wchar_t *key, const std::wstring &value);

    std::vector<std::string> BassLog();
    std::vector<std::string> ModuleLog();
    // The module's log without its "load"/"unload" lines: what it was told.
    std::vector<std::string> Notifications();
    int CountTracks();

    std::wstring folder;
    HWND window = NULL;
};

// Moves a stream of the recording audio library as playing it would.
int MoveDoubleStream(DWORD stream, unsigned long long bytes);

#endif
