// The extension module host, watched through the recording module's log:
// "load"/"unload" from its DllMain, "message wParam lParam thread" for each
// notification, "tracks N" when it counted the Playlist at XM_UNLOAD and
// "insert R" for each insertion it made.
#include "player_fixture.h"

#include "player_window.h"
#include "test_support.h"
#include "player/core/player_state.h"
#include "player/control/extension_host.h"
#include "tonquil_extension.h"

namespace {

typedef std::vector<std::string> Lines;

const char *const Init = "0x8101 0 0 main";
const char *const Unload = "0x8102 0 0 main";
const char *const Show = "0x8103 0 0 main";

std::string TrackChanged(int trackNo) {
    return "0x8106 " + std::to_string(trackNo) + " 0 main";
}

Lines Join(Lines a, const Lines &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

class ExtensionHost : public PlayerTest {
  protected:
    HMODULE LoadedModule() {
        return GetModuleHandleW((folder + L"tonquil.dll").c_str());
    }
    // Ends the current stream as the audio library would, from its own thread.
    bool FireTrackEnd() {
        typedef int(WINAPI * FIRE_END)(DWORD);
        HMODULE library = GetModuleHandleW((folder + L"bass.dll").c_str());
        FIRE_END fire = library ? (FIRE_END)(void *)GetProcAddress(library, "DoubleFireEnd") : NULL;
        return fire && fire((DWORD)PlayerState->Channel);
    }
    // The recording module's window shown over a list of two, the first
    // track playing and its end fired.
    void EndTheFirstOfTwoTracks() {
        UseModule(RECORDING_MODULE);
        WritePlaylist({L"a.mp3", L"b.mp3"});
        ASSERT_NE(nullptr, Open());
        EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
        EXPECT_EQ(1, Send(CM_PLAY));
        ASSERT_TRUE(FireTrackEnd());
    }
};

TEST_F(ExtensionHost, WithoutAModuleShowWindowOnlyLoadsThePlaylist) {
    WritePlaylist({L"a.mp3", L"b.mp3"});
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_EQ(nullptr, ExtensionModule);
    EXPECT_EQ(2, CountTracks());
    EXPECT_TRUE(ModuleLog().empty());
}

TEST_F(ExtensionHost, AModuleWithoutTheExportIsLoadedAndFreedAtEachShowWindow) {
    UseModule(MODULE_WITHOUT_EXPORT);
    WritePlaylist({L"a.mp3"});
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_EQ(nullptr, ExtensionModule);
    EXPECT_EQ(nullptr, LoadedModule());
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_EQ(1, Send(CM_PLAY));
    EXPECT_EQ(1, CountTracks());
    Close();
    EXPECT_EQ(Lines({"load", "unload", "load", "unload"}), ModuleLog());
}

TEST_F(ExtensionHost, AFileThatIsNoLoadableModuleCountsAsAbsent) {
    for (ModuleKind kind : {MODULE_NOT_A_DLL, MODULE_OTHER_MACHINE}) {
        UseModule(kind);
        WritePlaylist({L"a.mp3"});
        ASSERT_NE(nullptr, Open());
        EXPECT_EQ(0, Command(IDM_SHOWWINDOW)) << kind;
        EXPECT_EQ(0, Command(IDM_SHOWWINDOW)) << kind;
        EXPECT_EQ(nullptr, ExtensionModule) << kind;
        EXPECT_EQ(nullptr, LoadedModule()) << kind;
        EXPECT_EQ(1, CountTracks()) << kind;
        EXPECT_EQ(1, Send(CM_PLAY)) << kind;
        Close();
        EXPECT_TRUE(ModuleLog().empty()) << kind;
    }
}

TEST_F(ExtensionHost, ARefusingModuleIsToldToUnloadAndTriedAgainAtTheNextShowWindow) {
    UseModule(RECORDING_MODULE);
    ConfigureModule(L"InitAnswer", L"0");
    WritePlaylist({L"a.mp3", L"b.mp3"});
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_EQ(nullptr, ExtensionModule);
    EXPECT_EQ(nullptr, LoadedModule());
    // The first refusal comes before the playlist file is read.
    Lines once = {"load", Init, Unload, "tracks 0", "unload"};
    EXPECT_EQ(once, ModuleLog());

    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_EQ(1, Send(CM_PLAY));
    Close();
    EXPECT_EQ(Join(once, {"load", Init, Unload, "tracks 2", "unload"}), ModuleLog());
}

TEST_F(ExtensionHost, AnAcceptingModuleIsToldOfEveryShowWindowAndEveryTrackStart) {
    UseModule(RECORDING_MODULE);
    WritePlaylist({L"a.mp3", L"b.mp3", L"c.mp3"});
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_NE(nullptr, ExtensionModule);
    EXPECT_EQ(ExtensionModule, LoadedModule());
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));

    EXPECT_EQ(1, Send(CM_PLAY));
    EXPECT_EQ(0, Command(IDM_PAUSE));
    EXPECT_EQ(0, Command(IDM_PLAY)); // resumes the paused track
    EXPECT_EQ(1, Send(CM_PLAYNEXT));
    EXPECT_EQ(1, Send(CM_STOP));
    Send(WM_COMMAND, IDM_TRACK_FIRST + 2);
    EXPECT_EQ(
        Lines({"load", Init, Show, Show, Show, TrackChanged(0), TrackChanged(0), TrackChanged(1)}),
        ModuleLog());
    PumpMessages(); // the track command plays through a posted IDM_PLAY
    EXPECT_EQ(TrackChanged(2), ModuleLog().back());

    Close();
    Lines log = ModuleLog();
    EXPECT_EQ(Lines({Unload, "tracks 3", "unload"}), Lines(log.end() - 3, log.end()));
    EXPECT_EQ(1u, LogLinesStarting(log, "load").size());
    EXPECT_EQ(1u, LogLinesStarting(log, "0x8101").size());
    EXPECT_EQ(nullptr, ExtensionModule);
    EXPECT_EQ(nullptr, LoadedModule());
}

TEST_F(ExtensionHost, NothingIsToldWhenThereIsNothingToPlay) {
    UseModule(RECORDING_MODULE);
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_EQ(1, Send(CM_PLAY));
    EXPECT_EQ(0, Command(IDM_PLAY));
    EXPECT_EQ(1, Send(CM_PLAYNEXT));
    EXPECT_EQ(1, Send(CM_PLAYPREV));
    Close();
    EXPECT_EQ(Lines({"load", Init, Show, Unload, "tracks 0", "unload"}), ModuleLog());
}

TEST_F(ExtensionHost, EntriesInsertedDuringInitAreLostByTheFirstLoadAndLaterOnesKept) {
    UseModule(RECORDING_MODULE);
    WritePlaylist({L"a.mp3", L"b.mp3"});
    std::wstring onInit = Track(L"init.mp3"), onShow = Track(L"show.mp3");
    ConfigureModule(L"InsertOnInit", onInit);
    ConfigureModule(L"InsertOnShow", onShow);
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_EQ(Lines({"load", Init, "insert 1", Show, "insert 1"}), ModuleLog());
    ASSERT_EQ(3, CountTracks());
    const TRACKENTRY *last = (const TRACKENTRY *)Send(CM_GETTRACKENTRY, 2);
    EXPECT_EQ(onShow, last->Path);
    EXPECT_EQ(3, last->TrackId); // numbering began again with the file
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    EXPECT_EQ(4, CountTracks());
    Close();
    EXPECT_EQ("tracks 4", ModuleLog()[ModuleLog().size() - 2]);
}

TEST_F(ExtensionHost, EntriesInsertedDuringInitStayWhenThePlaylistWasReadBefore) {
    UseModule(RECORDING_MODULE);
    WritePlaylist({L"a.mp3"});
    std::wstring onInit = Track(L"init.mp3");
    ConfigureModule(L"InsertOnInit", onInit);
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(1, Send(CM_PLAY)); // reads the playlist file
    EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
    ASSERT_EQ(2, CountTracks());
    EXPECT_EQ(onInit, ((const TRACKENTRY *)Send(CM_GETTRACKENTRY, 1))->Path);
}

TEST_F(ExtensionHost, ShowWndLoadsTheModuleAtStartOnceTheQueueRuns) {
    UseModule(RECORDING_MODULE);
    WriteSetting(L"ShowWnd", L"1");
    WritePlaylist({L"a.mp3"});
    ASSERT_NE(nullptr, Open());
    EXPECT_TRUE(ModuleLog().empty()); // posted, not yet taken from the queue
    PumpMessages();
    EXPECT_EQ(Lines({"load", Init, Show}), ModuleLog());
    EXPECT_EQ(1, CountTracks());
}

TEST_F(ExtensionHost, TheEndOfATrackIsToldOnTheMainThread) {
    ASSERT_NO_FATAL_FAILURE(EndTheFirstOfTwoTracks());
    EXPECT_EQ(TrackChanged(0), ModuleLog().back()); // handed over, not yet run
    PumpMessages();
    EXPECT_EQ(TrackChanged(1), ModuleLog().back());
    for (const std::string &line : Notifications())
        EXPECT_EQ(line.size() - 4, line.rfind("main")) << line;
}

TEST_F(ExtensionHost, AnEndStillQueuedAtCloseReachesTheModuleNoMore) {
    ASSERT_NO_FATAL_FAILURE(EndTheFirstOfTwoTracks());
    Close();
    Lines log = ModuleLog();
    EXPECT_EQ(Lines({"load", Init, Show, TrackChanged(0), Unload, "tracks 2", "unload"}), log);
}

TEST_F(ExtensionHost, OddAnswersOnlyDecideWhetherTheModuleStays) {
    UseModule(RECORDING_MODULE);
    WritePlaylist({L"a.mp3", L"b.mp3"});
    for (const wchar_t *answer : {L"-1", L"0x80000000", L"0x7FFFFFFF", L"0xFFFFFFFF"}) {
        ResetLog(folder, L"extension-calls.log");
        DeletePath(folder + L"tonquil.ini"); // starts at the first track each time
        ConfigureModule(L"InitAnswer", answer);
        ConfigureModule(L"OtherAnswer", answer);
        ASSERT_NE(nullptr, Open());
        EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
        EXPECT_NE(nullptr, ExtensionModule) << Utf8(answer);
        EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
        EXPECT_EQ(1, Send(CM_PLAY));
        EXPECT_EQ(1, Send(CM_PLAYNEXT));
        EXPECT_EQ(2, CountTracks());
        Close();
        EXPECT_EQ(Lines({"load", Init, Show, Show, TrackChanged(0), TrackChanged(1), Unload,
                         "tracks 2", "unload"}),
                  ModuleLog())
            << Utf8(answer);
    }
}

TEST_F(ExtensionHost, AModuleThatClosesThePlayerInsideANotificationIsNotFreedUnderItself) {
    UseModule(RECORDING_MODULE);
    WritePlaylist({L"a.mp3"});
    for (const wchar_t *notification : {L"0x8101", L"0x8103"}) {
        ResetLog(folder, L"extension-calls.log");
        ConfigureModule(L"CloseOn", notification);
        ASSERT_NE(nullptr, Open());
        EXPECT_EQ(0, Command(IDM_SHOWWINDOW));
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(nullptr, ExtensionModule);
        Lines log = ModuleLog();
        EXPECT_EQ(Unload, log[log.size() - 2]) << Utf8(notification);
        EXPECT_EQ(1u, LogLinesStarting(log, "0x8102").size());
        // Still loaded, until the player's message loop has ended.
        PumpMessages();
        ASSERT_NE(nullptr, LoadedModule());
        FreeRetiredExtensionModule();
        EXPECT_EQ(nullptr, LoadedModule());
        window = NULL;
    }
}
