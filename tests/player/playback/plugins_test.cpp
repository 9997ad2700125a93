// Plug-ins: loaded when a file fails to open without them, unloaded before
// a type that the library reads by itself when FreeAddOn asks for it.
#include "playback_fixture.h"

#include "player/core/player_state.h"
#include "player/playback/audio_library.h"
#include "player/playback/playback.h"
#include "player/playlist/playlist.h"
#include "test_support.h"

using Lines = std::vector<std::string>;

class PluginsTest : public PlaybackTest {
  protected:
    // The loads LoadPlugins makes: every *.dll of the folder in the order
    // FindFirstFileW gives them, the plug-ins' handles counting on from
    // `handle`.
    Lines ExpectedLoads(DWORD handle) const {
        Lines loads;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"*.dll").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return loads;
        do {
            std::wstring name = found.cFileName;
            bool plugin = _wcsnicmp(name.c_str(), L"bassplug", 8) == 0;
            loads.push_back("BASS_PluginLoad(" + Utf8(folder + name) +
                            ",0x80000000)=" + std::to_string(plugin ? ++handle : 0));
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return loads;
    }

    std::string Open(const std::wstring &name, DWORD stream) const {
        return "BASS_StreamCreateFile(0," + TrackPath(name) +
               ",0,0,0x80040000)=" + std::to_string(stream);
    }

    // The opens and plug-in calls of one PlayTrack at index, in their order.
    Lines PlayAt(LONG index) {
        size_t before = Calls().size();
        PlayerState->TrackNo = index;
        PlayTrack(window);
        Lines picked;
        for (const std::string &call : CallsAfter(before))
            if (call.compare(0, 21, "BASS_StreamCreateFile") == 0 ||
                call.compare(0, 11, "BASS_Plugin") == 0)
                picked.push_back(call);
        return picked;
    }
};

TEST_F(PluginsTest, AFailedOpenLoadsThePluginsAndTriesOnceMore) {
    AddPluginFile(L"bassplug1.dll");
    AddPluginFile(L"bassplug2.dll");
    AddTrack(L"x.flac", "PLUGIN");

    Lines expected = {Open(L"x.flac", 0)};
    Lines loads = ExpectedLoads(0x1000);
    ASSERT_EQ(3u, loads.size()); // bass.dll is offered like any other
    expected.insert(expected.end(), loads.begin(), loads.end());
    expected.push_back(Open(L"x.flac", 1));
    EXPECT_EQ(expected, PlayAt(0));
    EXPECT_EQ(1, PlayerState->Channel);
}

TEST_F(PluginsTest, LoadedPluginsAreNotLoadedAgainForTheNextFailure) {
    AddPluginFile(L"bassplug1.dll");
    AddTrack(L"x.flac", "PLUGIN");
    AddTrack(L"bad.flac", "REFUSE");
    std::wstring y = AddTrack(L"y.flac", "PLUGIN");
    PlayAt(0);

    Lines calls = PlayAt(1);

    Lines expected = {Open(L"bad.flac", 0), Open(L"bad.flac", 0), Open(L"y.flac", 2)};
    EXPECT_EQ(expected, calls);
    EXPECT_EQ(2, CountTracks());
    EXPECT_EQ(y, GetTrack(1)->Path);
}

TEST_F(PluginsTest, EachBuiltInTypeUnloadsThePluginsAndAPluginTypeLoadsThemAgain) {
    AddPluginFile(L"bassplug1.dll");
    AddTrack(L"x.flac", "PLUGIN");
    const wchar_t *builtIn[] = {L"y.mp1", L"y.mp2", L"y.mp3", L"y.wav", L"y.ogg"};
    for (const wchar_t *name : builtIn)
        AddTrack(name);
    PlayAt(0);
    DWORD stream = 1;

    for (LONG i = 1; i <= 5; ++i) {
        const wchar_t *name = builtIn[i - 1];
        Lines expected = {"BASS_PluginFree(4097)=1", Open(name, ++stream)};
        EXPECT_EQ(expected, PlayAt(i)) << Utf8(name);

        // The plug-in type fails without them, they are loaded again, and
        // the second attempt plays it.
        Lines again = {Open(L"x.flac", 0)};
        Lines loads = ExpectedLoads(0x1000);
        again.insert(again.end(), loads.begin(), loads.end());
        again.push_back(Open(L"x.flac", ++stream));
        EXPECT_EQ(again, PlayAt(0)) << Utf8(name);
    }
    EXPECT_EQ(6, CountTracks());
}

TEST_F(PluginsTest, PluginsStayForOtherTypesAndWithFreeAddOnOff) {
    AddPluginFile(L"bassplug1.dll");
    AddTrack(L"x.flac", "PLUGIN");
    AddTrack(L"y.mp3");
    const wchar_t *others[] = {L"z.wma", L"z.wv", L"z.tak"};
    for (const wchar_t *name : others)
        AddTrack(name);
    PlayAt(0);

    DWORD stream = 1;
    for (LONG i = 0; i < 3; ++i)
        EXPECT_EQ(Lines{Open(others[i], ++stream)}, PlayAt(2 + i)) << Utf8(others[i]);
    PlayerState->FreeAddOn = 0;
    EXPECT_EQ(Lines{Open(L"y.mp3", ++stream)}, PlayAt(1));
}
