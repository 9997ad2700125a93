// Decoder plug-ins: which DLLs the engine takes (judged from the file, before
// any of their code runs), streams decoded by a plug-in, and freeing one.
#include <gtest/gtest.h>

#include "engine/plugins/pe_exports.h"
#include "engine_support.h"
#include "test_support.h"

namespace {

class Plugins : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
    }
    void TearDown() override {
        BASS_Free();
    }
    static HPLUGIN Load(const std::wstring &path) {
        return BASS_PluginLoad((const char *)path.c_str(), BASS_UNICODE);
    }
    static std::wstring PluginPath() {
        return TestFolder() + L"bass_testtone.dll";
    }
};

const ToneHeader Tone = {8000, 2, 1000, 40, 12000};

} // namespace

TEST_F(Plugins, RefusesEveryDllWithoutTheEntryPointWithoutLoadingIt) {
    ResetLog(TestFolder(), L"extension-calls.log");
    EXPECT_EQ(0u, Load(TestFolder() + L"tonquil.dll"));
    // The extension module's start-up code would have logged its load.
    EXPECT_TRUE(ReadLog(TestFolder(), L"extension-calls.log").empty());
    EXPECT_EQ(0u, Load(BinFolder() + L"bass.dll"));
    EXPECT_EQ(0u, Load(TestFolder() + L"engine_test.exe"));
    EXPECT_EQ(0u, Load(FixturePath("tagged.mp3")));
    EXPECT_EQ(0u, Load(TestFolder() + L"missing.dll"));
    EXPECT_EQ(0u, BASS_PluginLoad(NULL, 0));
    EXPECT_FALSE(BASS_PluginFree(0));
    EXPECT_FALSE(BASS_PluginFree(12345));
}

TEST_F(Plugins, ReadsExportNamesOnlyFromWholeDlls) {
    EXPECT_TRUE(DllExportsName(PluginPath().c_str(), TQ_DECODER_OPEN_EXPORT));
    EXPECT_TRUE(DllExportsName((BinFolder() + L"bass.dll").c_str(), "BASS_Init"));
    EXPECT_TRUE(DllExportsName((BinFolder() + L"bass.dll").c_str(), "BASS_StreamCreateFile"));
    EXPECT_FALSE(DllExportsName((BinFolder() + L"bass.dll").c_str(), "BASS_Init2"));
    EXPECT_FALSE(DllExportsName((BinFolder() + L"bass.dll").c_str(), TQ_DECODER_OPEN_EXPORT));
    std::string plugin = ReadBytes(PluginPath());
    std::wstring folder = MakeScratchFolder(L"cut-plugins");
    DWORD seed = 5;
    for (int round = 0; round < 60; ++round) {
        size_t cut = NextRandom(&seed) % plugin.size();
        std::wstring path = folder + L"cut.dll";
        ASSERT_TRUE(WriteBytes(path, plugin.substr(0, cut)));
        // Cut short the table cannot be read whole, so the name cannot be found,
        // or the cut lies past it; either way no read goes past the file.
        DllExportsName(path.c_str(), TQ_DECODER_OPEN_EXPORT);
        std::string damaged = plugin;
        for (int i = 0; i < 16; ++i)
            damaged[NextRandom(&seed) % damaged.size()] = (char)NextRandom(&seed);
        ASSERT_TRUE(WriteBytes(path, damaged));
        DllExportsName(path.c_str(), TQ_DECODER_OPEN_EXPORT);
    }
    ASSERT_TRUE(WriteBytes(folder + L"head.dll", plugin.substr(0, 1024)));
    EXPECT_FALSE(DllExportsName((folder + L"head.dll").c_str(), TQ_DECODER_OPEN_EXPORT));
}

TEST_F(Plugins, APluginOpensWhatTheBuiltInDecodersCannotUntilItIsFreed) {
    std::string tone = ToneFile(Tone);
    EXPECT_EQ(0u, BASS_StreamCreateFile(TRUE, tone.data(), 0, (DWORD)tone.size(), 0));
    HPLUGIN plugin = Load(PluginPath());
    ASSERT_NE(0u, plugin);
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, PluginPath().c_str(), -1, ansi, MAX_PATH, NULL, NULL);
    EXPECT_EQ(plugin, BASS_PluginLoad(ansi, 0)); // loaded once, known by one handle

    HSTREAM stream = BASS_StreamCreateFile(TRUE, tone.data(), 0, (DWORD)tone.size(), 0);
    ASSERT_NE(0u, stream);
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    // WAV is still read by the engine itself.
    std::string wav = PcmWav(1, 8000, NoiseSamples(100, 1, 100));
    EXPECT_NE(0u, BASS_StreamCreateFile(TRUE, wav.data(), 0, (DWORD)wav.size(), 0));

    EXPECT_TRUE(BASS_PluginFree(plugin));
    EXPECT_FALSE(BASS_PluginFree(plugin));
    EXPECT_EQ(0u, BASS_StreamCreateFile(TRUE, tone.data(), 0, (DWORD)tone.size(), 0));
}

// Freeing a plug-in refuses new opens at once; the DLL stays mapped for the
// streams it still decodes, which play on, and goes with the last of them,
// whether it ends, is freed or the engine is.
TEST_F(Plugins, AFreedPluginStaysMappedForItsStreamsAndUnloadsAfterTheLast) {
    const WCHAR *name = L"bass_testtone.dll";
    ToneHeader tone = {8000, 2, 4000, 40, 12000};
    std::string file = ToneFile(tone);
    static HANDLE ended;
    ended = CreateEventW(NULL, TRUE, FALSE, NULL);
    struct End {
        static void CALLBACK Signal(HSYNC, DWORD, DWORD, DWORD) {
            SetEvent(ended);
        }
    };
    for (int round = 0; round < 3; ++round) {
        HPLUGIN plugin = Load(PluginPath());
        ASSERT_NE(0u, plugin);
        HSTREAM played =
            BASS_StreamCreateFile(TRUE, file.data(), 0, (DWORD)file.size(), BASS_STREAM_AUTOFREE);
        HSTREAM kept = BASS_StreamCreateFile(TRUE, file.data(), 0, (DWORD)file.size(), 0);
        ASSERT_TRUE(played && kept);
        ResetEvent(ended);
        BASS_ChannelSetSync(played, BASS_SYNC_END, 0, End::Signal, 0);
        ASSERT_TRUE(BASS_ChannelPlay(played, FALSE));

        ASSERT_TRUE(BASS_PluginFree(plugin));
        EXPECT_FALSE(BASS_PluginFree(plugin));
        EXPECT_EQ(0u, BASS_StreamCreateFile(TRUE, file.data(), 0, (DWORD)file.size(), 0));
        EXPECT_NE(nullptr, GetModuleHandleW(name));
        EXPECT_EQ(BASS_ACTIVE_PLAYING, BASS_ChannelIsActive(played));
        // A stopped stream of it may still move and play.
        EXPECT_TRUE(BASS_ChannelSetPosition(kept, 4 * 2000));

        if (round == 0) { // the playing one ends by itself, then the kept one is freed
            ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ended, 5000));
            ASSERT_TRUE(WaitUntilStopped(played, 5000));
            EXPECT_NE(nullptr, GetModuleHandleW(name));
            EXPECT_TRUE(BASS_ChannelStop(kept));
            EXPECT_NE(nullptr, GetModuleHandleW(name));
            EXPECT_TRUE(BASS_ChannelPlay(kept, FALSE));
            EXPECT_TRUE(BASS_ChannelStop(kept));
            EXPECT_NE(nullptr, GetModuleHandleW(name));
            BASS_Free();
        } else if (round == 1) { // loaded anew while mapped: a new handle that opens
            HPLUGIN again = Load(PluginPath());
            EXPECT_NE(0u, again);
            EXPECT_NE(plugin, again);
            EXPECT_NE(0u, BASS_StreamCreateFile(TRUE, file.data(), 0, (DWORD)file.size(), 0));
            EXPECT_TRUE(BASS_PluginFree(again));
            BASS_Free();
        } else { // the engine freed while it plays
            BASS_Free();
        }
        EXPECT_EQ(nullptr, GetModuleHandleW(name));
        ASSERT_TRUE(BASS_Init(0, 44100, 0, NULL, NULL));
    }
    CloseHandle(ended);
}

TEST_F(Plugins, DecodersThatDescribeImpossibleSoundAreRefused) {
    HPLUGIN plugin = Load(PluginPath());
    ASSERT_NE(0u, plugin);
    const ToneHeader impossible[] = {
        {8000, 0, 100, 40, 100}, {0, 2, 100, 40, 100}, {8000, 9, 100, 40, 100}};
    for (const ToneHeader &tone : impossible) {
        std::string file = ToneFile(tone);
        EXPECT_EQ(0u, BASS_StreamCreateFile(TRUE, file.data(), 0, (DWORD)file.size(), 0));
    }
    EXPECT_TRUE(BASS_PluginFree(plugin));
}

// The engine as the player meets it: build/bin/bass.dll loads on its own (no
// compiler runtime beside it) and offers its calls under plain names.
TEST(EngineDll, ExportsTheCallsUnderPlainNames) {
    HMODULE engine = LoadLibraryW((BinFolder() + L"bass.dll").c_str());
    ASSERT_NE(nullptr, engine);
    const char *names[] = {"BASS_Init",
                           "BASS_Free",
                           "BASS_StreamCreateFile",
                           "BASS_ChannelSetAttributes",
                           "BASS_ChannelSetSync",
                           "BASS_ChannelRemoveSync",
                           "BASS_ChannelPlay",
                           "BASS_ChannelIsActive",
                           "BASS_ChannelPause",
                           "BASS_ChannelStop",
                           "BASS_ChannelGetTags",
                           "BASS_PluginLoad",
                           "BASS_PluginFree",
                           "BASS_ChannelGetLength",
                           "BASS_ChannelGetPosition",
                           "BASS_ChannelSetPosition",
                           "BASS_ChannelBytes2Seconds",
                           "BASS_ChannelSeconds2Bytes",
                           "BASS_SetConfig"};
    for (const char *name : names)
        EXPECT_NE(nullptr, (void *)GetProcAddress(engine, name)) << name;
    EXPECT_EQ(nullptr, (void *)GetProcAddress(engine, "_BASS_Init@20"));
    // Freeing the library frees its engine thread first; unloading is then safe.
    BASS_Init_t init = (BASS_Init_t)(void *)GetProcAddress(engine, "BASS_Init");
    BASS_Free_t free = (BASS_Free_t)(void *)GetProcAddress(engine, "BASS_Free");
    ASSERT_TRUE(init && free);
    EXPECT_TRUE(init(0, 44100, 0, NULL, NULL));
    EXPECT_FALSE(init(0, 44100, 0, NULL, NULL));
    EXPECT_TRUE(free());
    EXPECT_TRUE(FreeLibrary(engine));
}

// The engine decodes all but WAV through tonquil_media.dll beside it: a
// folder without that DLL still plays WAV and refuses the rest quietly.
TEST(EngineDll, OpensWhatItsFolderHoldsTheDecodersFor) {
    const struct {
        const wchar_t *name;
        bool withMedia;
    } folders[] = {{L"engine-alone", false}, {L"engine-with-media", true}};
    for (const auto &c : folders) {
        SCOPED_TRACE(testing::Message() << (c.withMedia ? "with" : "without") << " the DLL");
        std::wstring folder = MakeScratchFolder(c.name);
        ASSERT_TRUE(CopyInto(BinFolder() + L"bass.dll", folder + L"bass.dll"));
        if (c.withMedia) {
            ASSERT_TRUE(
                CopyInto(BinFolder() + L"tonquil_media.dll", folder + L"tonquil_media.dll"));
        }
        HMODULE engine = LoadLibraryW((folder + L"bass.dll").c_str());
        ASSERT_NE(nullptr, engine);
        auto init = (BASS_Init_t)(void *)GetProcAddress(engine, "BASS_Init");
        auto create =
            (BASS_StreamCreateFile_t)(void *)GetProcAddress(engine, "BASS_StreamCreateFile");
        auto free = (BASS_Free_t)(void *)GetProcAddress(engine, "BASS_Free");
        ASSERT_TRUE(init && create && free);
        ASSERT_TRUE(init(0, 44100, 0, NULL, NULL));
        EXPECT_NE(0u, create(FALSE, FixturePath("wav-floating-point-32-1ch-8000.wav").c_str(), 0, 0,
                             BASS_UNICODE));
        EXPECT_EQ(c.withMedia,
                  create(FALSE, FixturePath("tagged.mp3").c_str(), 0, 0, BASS_UNICODE) != 0);
        EXPECT_TRUE(free());
        EXPECT_TRUE(FreeLibrary(engine));
    }
}
