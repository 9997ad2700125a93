#include "playback_fixture.h"

#include "player/core/player_state.h"
#include "player_window.h"
#include "player/playlist/playlist.h"
#include "test_support.h"
#include "player/tray/tray_icon.h"

std::vector<TrayRequest> TrayRequests;

namespace {

BOOL WINAPI RecordTrayRequest(DWORD message, PNOTIFYICONDATAW data) {
    TrayRequests.push_back({message, data->uFlags, data->szTip, data->szInfoTitle, data->szInfo});
    return TRUE;
}

} // namespace

void PlaybackTest::SetUp() {
    folder = TestFolder();
    DeletePath(folder + L"tonquil.ini");
    DeletePath(folder + L"tonquil.m3u");
    DeletePath(folder + L"bass-no-device");
    tracks = MakeScratchFolder(L"tracks");
    TrayRequests.clear();
    NotifyIconCall = RecordTrayRequest;
    ResetLog(folder, L"bass-calls.log");
    window = StartPlayerWindow();
    ASSERT_NE(nullptr, window);
    // The Playlist is built by the tests; the absent playlist file must not
    // clear it at the first play.
    PlaylistLoaded = 1;
}

void PlaybackTest::TearDown() {
    ClosePlayerWindow(window);
    NotifyIconCall = Shell_NotifyIconW;
    for (const std::wstring &plugin : pluginFiles)
        DeletePath(folder + plugin);
    if (libraryReplaced) {
        EXPECT_TRUE(CopyInto(DoublesFolder() + L"bass\\bass.dll", folder + L"bass.dll"));
    }
    // Closing writes the settings; the next test must start without them.
    DeletePath(folder + L"tonquil.ini");
    DeletePath(folder + L"tonquil.m3u");
}

std::wstring PlaybackTest::WriteTrack(const std::wstring &name, const std::string &content) {
    std::wstring path = tracks + name;
    EXPECT_TRUE(WriteBytes(path, content));
    return path;
}

std::wstring PlaybackTest::AddTrack(const std::wstring &name, const std::string &content) {
    std::wstring path = WriteTrack(name, content);
    EXPECT_EQ(1, InsertTrack(-1, path.c_str()));
    return path;
}

void PlaybackTest::AddPluginFile(const std::wstring &name) {
    EXPECT_TRUE(WriteBytes(folder + name, "not loaded by the player itself"));
    pluginFiles.push_back(name);
}

void PlaybackTest::ReplaceAudioLibrary(const std::string &bytes) {
    libraryReplaced = true;
    ASSERT_EQ(nullptr, GetModuleHandleW(L"bass.dll"));
    ASSERT_TRUE(WriteBytes(folder + L"bass.dll", bytes));
}

void PlaybackTest::RemoveAudioLibrary() {
    libraryReplaced = true;
    ASSERT_EQ(nullptr, GetModuleHandleW(L"bass.dll"));
    DeletePath(folder + L"bass.dll");
}

std::vector<std::string> PlaybackTest::Calls() const {
    return ReadLog(folder, L"bass-calls.log");
}

std::vector<std::string> PlaybackTest::CallsAfter(size_t skip) const {
    std::vector<std::string> calls = Calls();
    if (skip >= calls.size())
        return {};
    return std::vector<std::string>(calls.begin() + skip, calls.end());
}

std::string PlaybackTest::Hwnd() const {
    return std::to_string((unsigned long)(UINT_PTR)window);
}

std::string PlaybackTest::TrackPath(const std::wstring &name) const {
    return Utf8(tracks + name);
}

std::vector<std::wstring> PlaybackTest::PlaylistPaths() const {
    std::vector<std::wstring> paths;
    for (LONG i = 0; i < CountTracks(); ++i)
        paths.push_back(GetTrack(i)->Path);
    return paths;
}

std::wstring PlaybackTest::LastTip() const {
    for (auto request = TrayRequests.rbegin(); request != TrayRequests.rend(); ++request)
        if (request->flags & NIF_TIP)
            return request->tip;
    return L"";
}

int PlaybackTest::FireEnd(DWORD stream) const {
    typedef int(WINAPI * FIREEND)(DWORD);
    HMODULE library = GetModuleHandleW(L"bass.dll");
    FIREEND fire = library ? (FIREEND)(void *)GetProcAddress(library, "DoubleFireEnd") : NULL;
    return fire ? fire(stream) : -1;
}
