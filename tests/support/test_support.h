// Files, logs and processes for the tests. A test's folder is the folder of
// its executable, which is also the player's ModuleDirectory in that test.
#ifndef TONQUIL_TESTS_TEST_SUPPORT_H
#define TONQUIL_TESTS_TEST_SUPPORT_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// The test executable's folder, ending in a backslash.
std::wstring TestFolder();
// A folder of the build as the test sees it (a Unix path on Wine's drive Z:),
// ending in a backslash.
std::wstring FromUnixPath(const char *unixPath);
// build/bin and build/tests/doubles as Windows paths.
std::wstring BinFolder();
std::wstring DoublesFolder();

bool WriteBytes(const std::wstring &path, const std::string &bytes);
std::string ReadBytes(const std::wstring &path);
// The same DLL marked as code for the other machine (x64 in 32-bit tests, x86
// in x64 ones): no process of the tests' own kind can load it.
std::string AsOtherMachineImage(std::string image);
void DeletePath(const std::wstring &path);
bool CopyInto(const std::wstring &from, const std::wstring &to);
// The built engine into folder: bass.dll and the tonquil_media.dll it decodes through.
bool CopyEngineInto(const std::wstring &folder);
// A fresh empty folder under the test's folder, ending in a backslash.
std::wstring MakeScratchFolder(const std::wstring &name);

// Creates (or empties) a double's log file in folder, which turns logging on.
void ResetLog(const std::wstring &folder, const std::wstring &name);
std::vector<std::string> ReadLog(const std::wstring &folder, const std::wstring &name);
// The lines of the log that start with prefix.
std::vector<std::string> LogLinesStarting(const std::vector<std::string> &log,
                                          const std::string &prefix);

// Starts a program and waits for it; gives its exit code, or -1 on failure or
// when it runs past timeoutMs (it is then ended).
int RunAndWait(const std::wstring &exe, const std::wstring &arguments, DWORD timeoutMs);
// Starts a program without waiting; the caller closes the handle.
HANDLE StartProcess(const std::wstring &exe, const std::wstring &arguments);
// Waits for a top-level window of the class owned by the process.
HWND WaitForWindow(const WCHAR *className, DWORD processId, DWORD timeoutMs);
// Waits until condition() holds or timeoutMs pass, running this thread's
// messages meanwhile when pump is set; true when it held.
bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs, bool pump = false);

std::string Utf8(const std::wstring &text);
// A key's value in the section "Client" of a settings file, "absent" without it.
std::string ClientValue(const std::wstring &ini, const wchar_t *key);

#endif
