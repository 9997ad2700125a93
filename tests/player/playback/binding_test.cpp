// The binding to bass.dll: loaded at the first play and not before, unloaded
// last at teardown, and a missing or unusable library a quiet no-op that
// costs the Playlist nothing.
#include "playback_fixture.h"

#include "player/core/player_state.h"
#include "player/control/extension_host.h"
#include "player_window.h"
#include "player/playback/audio_library.h"
#include "player/playback/playback.h"
#include "player/playlist/playlist.h"
#include "test_support.h"

using Lines = std::vector<std::string>;

class BindingTest : public PlaybackTest {
  protected:
    // Every routine that reaches the library, and the Playlist afterwards.
    void DriveEverything() {
        EXPECT_EQ(0, PlayTrack(window));
        EXPECT_EQ(0, PlayNext(window));
        EXPECT_EQ(0, PlayPrevious(window));
        EXPECT_EQ(0, PausePlayback());
        EXPECT_EQ(1, SetVolume(50));
        EXPECT_EQ(1, SetMute(1));
        EXPECT_EQ(0, StopPlayback(window));
        InitAudioLibrary(window);
        LoadPlugins();
        FreePlugins();
        EXPECT_EQ(0, PlayerState->Channel);
        EXPECT_EQ(paths, PlaylistPaths());
    }

    void AddTracks() {
        paths.push_back(AddTrack(L"a.mp3"));
        paths.push_back(AddTrack(L"b.flac", "PLUGIN"));
        paths.push_back(AddTrack(L"c.ogg"));
    }

    std::vector<std::wstring> paths;
};

TEST_F(BindingTest, NothingIsLoadedAtStartOrAtACloseWithoutPlay) {
    EXPECT_EQ(nullptr, AudioLibrary);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"bass.dll"));

    ClosePlayerWindow(window);

    EXPECT_TRUE(Calls().empty());
}

TEST_F(BindingTest, CloseFreesPluginsThenTheLibraryAndUnloadsItLast) {
    AddPluginFile(L"bassplug1.dll");
    AddTrack(L"x.flac", "PLUGIN");
    AddTrack(L"y.mp3");
    std::wstring module = MakeScratchFolder(L"module");
    ASSERT_TRUE(CopyInto(DoublesFolder() + L"extension\\tonquil.dll", module + L"tonquil.dll"));
    ResetLog(module, L"extension-calls.log");
    ExtensionModule = LoadLibraryW((module + L"tonquil.dll").c_str());
    PlayTrack(window);
    ASSERT_NE(nullptr, GetModuleHandleW(L"bass.dll"));
    size_t before = Calls().size();

    ClosePlayerWindow(window);

    // The stream is not stopped first: freeing the library ends it.
    Lines expected = {"BASS_PluginFree(4097)=1", "BASS_Free()", "unload"};
    EXPECT_EQ(expected, CallsAfter(before));
    EXPECT_EQ(nullptr, AudioLibrary);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"bass.dll"));
    // The module was told while the Playlist was still there.
    EXPECT_EQ(Lines{"tracks 2"},
              LogLinesStarting(ReadLog(module, L"extension-calls.log"), "tracks"));
}

TEST_F(BindingTest, InitAudioLibraryLoadsOnceAndInitsAtEveryCall) {
    HMODULE first = InitAudioLibrary(window);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, InitAudioLibrary(window));
    Lines expected = {"load", "BASS_Init(-1,44100,0," + Hwnd() + ",0)=1",
                      "BASS_Init(-1,44100,0," + Hwnd() + ",0)=0"};
    EXPECT_EQ(expected, Calls());
}

TEST_F(BindingTest, AMissingLibraryRemovesNoEntryAndIsTriedAgainAtTheNextPlay) {
    AddTracks();
    RemoveAudioLibrary();

    DriveEverything();
    EXPECT_EQ(nullptr, AudioLibrary);

    ASSERT_TRUE(CopyInto(DoublesFolder() + L"bass\\bass.dll", folder + L"bass.dll"));
    ResetLog(folder, L"bass-calls.log");
    PlayerState->TrackNo = 0;
    PlayTrack(window);
    EXPECT_NE(0, PlayerState->Channel);
    EXPECT_EQ(paths, PlaylistPaths());
    EXPECT_EQ("load", Calls().at(0));
}

// With no output device the library loads but cannot be initialised, and
// every open would fail: that is not the entries' fault either.
TEST_F(BindingTest, ALibraryWithoutAnOutputDeviceRemovesNoEntryAndIsInitialisedAgainLater) {
    AddTracks();
    ASSERT_TRUE(WriteBytes(folder + L"bass-no-device", "no output device"));

    DriveEverything();
    Lines inits = LogLinesStarting(Calls(), "BASS_Init(");
    ASSERT_FALSE(inits.empty());
    for (const std::string &init : inits)
        EXPECT_EQ("BASS_Init(-1,44100,0," + Hwnd() + ",0)=0", init);
    // The opens are tried (see below why) and fail.
    for (const std::string &open : LogLinesStarting(Calls(), "BASS_StreamCreateFile("))
        EXPECT_EQ("=0", open.substr(open.size() - 2)) << open;

    DeletePath(folder + L"bass-no-device");
    ResetLog(folder, L"bass-calls.log");
    PlayerState->TrackNo = 0;
    PlayTrack(window);
    EXPECT_NE(0, PlayerState->Channel);
    EXPECT_EQ(paths, PlaylistPaths());
    EXPECT_EQ("BASS_Init(-1,44100,0," + Hwnd() + ",0)=1", Calls().at(0));
}

TEST_F(BindingTest, ALibraryThatIsNoProgramOrForTheOtherMachineIsRefusedQuietly) {
    AddTracks();
    std::string otherMachine = AsOtherMachineImage(ReadBytes(DoublesFolder() + L"bass\\bass.dll"));
    ASSERT_FALSE(otherMachine.empty());
    for (const std::string &bytes :
         {std::string("MZ but nothing a loader could use\r\n"), std::string(), otherMachine}) {
        ReplaceAudioLibrary(bytes);
        DriveEverything();
        EXPECT_EQ(nullptr, AudioLibrary) << bytes.size() << " bytes";
    }
}

TEST_F(BindingTest, ALibraryWithoutTheExportsLoadsButEveryCallIsSkipped) {
    AddTracks();
    ReplaceAudioLibrary(ReadBytes(DoublesFolder() + L"extension\\tonquil.dll"));

    DriveEverything();

    EXPECT_NE(nullptr, AudioLibrary);
    EXPECT_EQ(nullptr, FindAudioFunction("BASS_Init"));
    ClosePlayerWindow(window);
    EXPECT_EQ(nullptr, AudioLibrary);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"bass.dll"));
}

TEST_F(BindingTest, HundredsOfOtherDllFilesAreOfferedAndRefusedOneByOne) {
    for (int i = 0; i < 300; ++i)
        AddPluginFile(L"other" + std::to_wstring(i) + L".dll");
    std::wstring a = AddTrack(L"a.mp3");
    AddTrack(L"b.flac", "PLUGIN");
    PlayerState->TrackNo = 1;

    PlayTrack(window);

    Lines loads = LogLinesStarting(Calls(), "BASS_PluginLoad(");
    EXPECT_EQ(301u, loads.size()); // and bass.dll itself
    for (const std::string &load : loads)
        EXPECT_EQ("=0", load.substr(load.size() - 2)) << load;
    EXPECT_EQ(std::vector<std::wstring>{a}, PlaylistPaths());
    EXPECT_EQ(0, PlayerState->TrackNo);
}

// The extension module may initialise the library before the player does:
// the player's own BASS_Init then fails, yet the library plays, and an entry
// whose file is missing is still the entry's fault.
TEST_F(BindingTest, ALibraryThatSomeoneElseInitialisedFirstPlaysAndDropsOnlyBadEntries) {
    struct Held {
        HMODULE module;
        ~Held() {
            FreeLibrary(module);
        }
    } other = {LoadLibraryW((folder + L"bass.dll").c_str())};
    ASSERT_NE(nullptr, other.module);
    BASS_Init_t init = (BASS_Init_t)(void *)GetProcAddress(other.module, "BASS_Init");
    ASSERT_NE(nullptr, init);
    ASSERT_TRUE(init(-1, 44100, 0, NULL, NULL));
    std::wstring a = AddTrack(L"a.mp3");
    AddTrack(L"refused.mp3", "REFUSE");
    std::wstring c = AddTrack(L"c.mp3");

    PlayTrack(window);
    EXPECT_EQ(1, PlayerState->Channel);
    PlayerState->TrackNo = 1;
    PlayTrack(window);

    EXPECT_EQ("BASS_Init(-1,44100,0," + Hwnd() + ",0)=0",
              LogLinesStarting(Calls(), "BASS_Init(").back());
    EXPECT_EQ(2, PlayerState->Channel);
    EXPECT_EQ((std::vector<std::wstring>{a, c}), PlaylistPaths());
    EXPECT_EQ(1, PlayerState->TrackNo);
}
