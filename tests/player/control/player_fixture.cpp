#include "player_fixture.h"

#include "player_window.h"
#include "test_support.h"
#include "tonquil_extension.h"
#include "player/tray/tray_icon.h"

namespace {

const wchar_t *const FilesOfATest[] = {L"tonquil.ini", L"tonquil.m3u", L"extension-double.ini",
                                       L"bass-calls.log", L"extension-calls.log"};

// Under Wine every icon removal waits two seconds for the shell; the icon is
// not what these tests look at.
BOOL WINAPI AcceptIconRequest(DWORD, PNOTIFYICONDATAW) {
    return TRUE;
}

NOTIFYICONPROC ShellIconCall;

std::wstring RecordingModule() {
    return DoublesFolder() + L"extension\\tonquil.dll";
}

} // namespace

void PlayerTest::SetUp() {
    ShellIconCall = NotifyIconCall;
    NotifyIconCall = AcceptIconRequest;
    folder = TestFolder();
    for (const wchar_t *name : FilesOfATest)
        DeletePath(folder + name);
    MakeScratchFolder(L"tracks");
    UseModule(NO_MODULE);
    ResetLog(folder, L"bass-calls.log");
    ResetLog(folder, L"extension-calls.log");
}

void PlayerTest::TearDown() {
    Close();
    for (const wchar_t *name : FilesOfATest)
        DeletePath(folder + name);
    UseModule(RECORDING_MODULE);
    NotifyIconCall = ShellIconCall;
}

HWND PlayerTest::Open() {
    window = StartPlayerWindow();
    return window;
}

void PlayerTest::Close() {
    if (window)
        ClosePlayerWindow(window);
    window = NULL;
}

LRESULT PlayerTest::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(window, message, wParam, lParam);
}

LRESULT PlayerTest::Command(WORD id) {
    return SendMessageW(window, WM_COMMAND, id, 0);
}

std::wstring PlayerTest::Track(const wchar_t *name) {
    std::wstring path = folder + L"tracks\\" + name;
    WriteBytes(path, "audio");
    return path;
}

void PlayerTest::WritePlaylist(const std::vector<const wchar_t *> &names) {
    std::string text;
    for (const wchar_t *name : names)
        text += Utf8(Track(name)) + "\r\n";
    WriteBytes(folder + L"tonquil.m3u", text);
}

void PlayerTest::WriteTracks(const std::vector<std::pair<std::wstring, std::string>> &tracks) {
    std::string list;
    for (const auto &track : tracks) {
        std::wstring path = folder + L"tracks\\" + track.first;
        WriteBytes(path, track.second);
        list += Utf8(path) + "\r\n";
    }
    WriteBytes(folder + L"tonquil.m3u", list);
}

void PlayerTest::WriteSetting(const wchar_t *key, const wchar_t *value) {
    WritePrivateProfileStringW(L"Client", key, value, (folder + L"tonquil.ini").c_str());
}

void PlayerTest::UseModule(ModuleKind kind) {
    std::wstring module = folder + L"tonquil.dll";
    switch (kind) {
    case NO_MODULE:
        DeletePath(module);
        break;
    case RECORDING_MODULE:
        CopyInto(RecordingModule(), module);
        break;
    case MODULE_WITHOUT_EXPORT:
        CopyInto(folder + L"tonquil-noexport.dll", module);
        break;
    case MODULE_NOT_A_DLL:
        WriteBytes(module, "MZ but nothing that a loader could use");
        break;
    case MODULE_OTHER_MACHINE:
        WriteBytes(module, AsOtherMachineImage(ReadBytes(RecordingModule())));
        break;
    }
}

void PlayerTest::ConfigureModule(const wchar_t *key, const std::wstring &value) {
    WritePrivateProfileStringW(L"Double", key, value.c_str(),
                               (folder + L"extension-double.ini").c_str());
}

std::vector<std::string> PlayerTest::BassLog() {
    return ReadLog(folder, L"bass-calls.log");
}

std::vector<std::string> PlayerTest::ModuleLog() {
    return ReadLog(folder, L"extension-calls.log");
}

std::vector<std::string> PlayerTest::Notifications() {
    return LogLinesStarting(ModuleLog(), "0x");
}

int PlayerTest::CountTracks() {
    int count = 0;
    while (Send(CM_GETTRACKENTRY, count))
        ++count;
    return count;
}

typedef int(WINAPI *MOVEPROC)(DWORD stream, unsigned long long bytes);

int MoveDoubleStream(DWORD stream, unsigned long long bytes) {
    HMODULE library = GetModuleHandleW(L"bass.dll");
    MOVEPROC move = library ? (MOVEPROC)(void *)GetProcAddress(library, "DoubleSetPosition") : NULL;
    return move ? move(stream, bytes) : 0;
}
