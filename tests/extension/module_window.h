// The real window module loaded by the real player core in the test process,
// and the ways a test looks at it and works it as a user would.
#ifndef TONQUIL_TESTS_EXTENSION_MODULE_WINDOW_H
#define TONQUIL_TESTS_EXTENSION_MODULE_WINDOW_H

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "extension/window/resource.h"

// Each test starts from a folder without settings, playlist or log, and
// closes the player (which unloads the module) at its end.
class ModuleWindow : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Files named track01.mp3... in a fresh folder, holding content.
    std::vector<std::wstring> MakeTracks(int count, const std::string &content = "audio");
    // tonquil.m3u beside the test, in the ANSI code page.
    void WritePlaylist(const std::vector<std::wstring> &paths);
    // Starts the player and sends the show-window command; gives the
    // module's window (NULL when there is none).
    HWND StartAndShow();

    HWND player = NULL;
    std::wstring music;
};

HWND FindModuleWindow();
HWND Control(HWND window, int id);

int RowCount(HWND list);
std::wstring RowText(HWND list, int row, int column);
// The rows whose number carries the current-track mark.
std::vector<int> MarkedRows(HWND list);
void DoubleClickRow(HWND list, int row);
void SelectRows(HWND list, const std::vector<int> &rows);
void PressKey(HWND control, UINT key);
std::wstring StatusText(HWND window, int part);

// The paths of the player's entries, read as any sender would.
std::vector<std::wstring> PlayerEntries(HWND player);
LONG PlayerTrackNo(HWND player);
// The paths the player asked the bass double to open for playing, in order.
std::vector<std::wstring> OpenedPaths();

// A fresh folder for the real tonquil.exe, with the module, the bass double
// (logging) and this playlist beside it.
std::wstring RealPlayerFolder(const std::string &playlist);
// Waits up to 10 s for the player in folder to open path for playing; gives
// how many times it has.
size_t WaitForOpen(const std::wstring &folder, const std::wstring &path);

// Dispatches messages until ms milliseconds have passed by a timer of the
// thread's own, so that every timer due before then (the module's) has run.
void PumpFor(DWORD ms);
// Dispatches messages until done gives true or timeoutMs have passed; gives
// what done last gave.
bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs = 10000);
std::wstring WindowText(HWND control);
// Sets or clears the thread's Ctrl key, as the keys after it see it.
void HoldControlKey(bool down);
// A drop of the paths at a point of the window's client area, as the shell
// hands it over.
HDROP MakeDrop(const std::vector<std::wstring> &paths, POINT point);

// The address of a replaceable pointer the loaded module exports by name
// (a test sets it; the next load of the module starts afresh).
void **ModuleHook(const char *name);

// Set as the module's MessageBoxCall: notes each question and gives Answer
// to a yes-or-no one.
extern std::vector<std::wstring> Questions;
extern int Answer;
int WINAPI AnswerQuestion(HWND owner, LPCWSTR text, LPCWSTR title, UINT type);

std::wstring Ansi(const std::string &bytes);
std::string AnsiBytes(const std::wstring &text);
bool Contains(const std::wstring &text, const std::wstring &part);

#endif
