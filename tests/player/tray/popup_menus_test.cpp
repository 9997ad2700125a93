// The track list built from the Playlist and read back item by item, and the
// two menus shown for real and answered from the keyboard.
#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "player/core/player_state.h"
#include "player/playlist/playlist.h"
#include "test_support.h"
#include "tonquil_extension.h"
#include "player/tray/popup_menus.h"

namespace {

struct MenuItem {
    UINT id;
    UINT state;
    UINT type;
    std::wstring text;
    bool operator==(const MenuItem &other) const {
        return id == other.id && state == other.state && type == other.type && text == other.text;
    }
};

void PrintTo(const MenuItem &item, std::ostream *out) {
    *out << "{id " << item.id << ", state 0x" << std::hex << item.state << ", type 0x" << item.type
         << std::dec << ", \"" << Utf8(item.text) << "\"}";
}

std::vector<MenuItem> ReadMenu(HMENU menu) {
    std::vector<MenuItem> items;
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        WCHAR text[2048] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 2048;
        EXPECT_TRUE(GetMenuItemInfoW(menu, (UINT)position, TRUE, &info));
        items.push_back({info.wID, info.fState, info.fType, text});
    }
    return items;
}

std::wstring TrackName(LONG index) {
    WCHAR name[32];
    wsprintfW(name, L"track%02d.mp3", (int)index);
    return name;
}

// The item for a Playlist entry: numbered, and marked when current.
MenuItem Item(LONG index, int number, bool current, const std::wstring &name) {
    return {(UINT)(IDM_TRACK_FIRST + index), current ? 0x1008u : 0u, MFT_STRING,
            L"&" + std::to_wstring(number) + L"\t" + name};
}

// The items for the entries first to first + count - 1 numbered from number.
void AddItems(std::vector<MenuItem> &items, LONG first, LONG count, int number, LONG current = -1) {
    for (LONG index = first; index < first + count; ++index)
        items.push_back(Item(index, number++, index == current, TrackName(index)));
}

std::vector<MenuItem> BuildAndRead() {
    HMENU menu = BuildTrackMenu();
    if (!menu)
        return {};
    std::vector<MenuItem> items = ReadMenu(menu);
    DestroyMenu(menu);
    return items;
}

class TrackList : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreatePlayerRecords());
        ASSERT_TRUE(CreatePlaylistHead());
        ClearPlaylist();
        PlaylistLoaded = 1;
    }
    void TearDown() override {
        ClearPlaylist();
    }

    // Real files, since an entry is only taken when its file opens.
    void MakePlaylist(LONG count) {
        static std::wstring folder = MakeScratchFolder(L"tracks");
        for (LONG index = 0; index < count; ++index) {
            std::wstring path = folder + TrackName(index);
            WriteBytes(path, "audio");
            ASSERT_TRUE(InsertTrack(-1, path.c_str()));
        }
        ASSERT_EQ(count, CountTracks());
    }

    void Configure(LONG trackCount, LONG trackNo, LONG trackStyle) {
        PlayerState->TrackCount = trackCount;
        PlayerState->TrackNo = trackNo;
        PlayerState->TrackStyle = trackStyle;
    }
};

TEST_F(TrackList, WorkedExampleRolling) {
    MakePlaylist(30);
    Configure(20, 3, 1);
    std::vector<MenuItem> expected;
    AddItems(expected, 23, 7, 1);
    AddItems(expected, 0, 13, 8, 3);
    EXPECT_EQ(expected, BuildAndRead());
    EXPECT_EQ(0x1008u, expected[10].state);
}

TEST_F(TrackList, WorkedExampleClamped) {
    MakePlaylist(30);
    Configure(20, 3, 0);
    std::vector<MenuItem> expected;
    AddItems(expected, 0, 20, 1, 3);
    EXPECT_EQ(expected, BuildAndRead());

    PlayerState->TrackNo = 25;
    expected.clear();
    AddItems(expected, 10, 20, 11, 25);
    EXPECT_EQ(expected, BuildAndRead());
}

TEST_F(TrackList, RollingWrapsAroundTheEnds) {
    MakePlaylist(30);
    Configure(20, 25, 1);
    std::vector<MenuItem> expected;
    AddItems(expected, 15, 15, 1, 25);
    AddItems(expected, 0, 5, 16);
    EXPECT_EQ(expected, BuildAndRead());

    PlayerState->TrackNo = 0; // preceded by the last ten entries
    expected.clear();
    AddItems(expected, 20, 10, 1);
    AddItems(expected, 0, 10, 11, 0);
    EXPECT_EQ(expected, BuildAndRead());
}

TEST_F(TrackList, ATrackCountAboveTheListShowsEveryEntryOnce) {
    MakePlaylist(15);
    Configure(20, 12, 0);
    std::vector<MenuItem> expected;
    AddItems(expected, 0, 15, 1, 12);
    EXPECT_EQ(expected, BuildAndRead());

    PlayerState->TrackStyle = TRACKS_ROLLING; // starts seven entries before the current one
    expected.clear();
    AddItems(expected, 5, 10, 1, 12);
    AddItems(expected, 0, 5, 11);
    EXPECT_EQ(expected, BuildAndRead());

    PlayerState->TrackCount = 100;
    EXPECT_EQ(15u, BuildAndRead().size());
}

TEST_F(TrackList, ClampedOddTrackCountNeverPointsPastTheEnd) {
    MakePlaylist(10);
    Configure(5, 8, 0);
    std::vector<MenuItem> expected;
    AddItems(expected, 5, 5, 6, 8);
    EXPECT_EQ(expected, BuildAndRead());

    PlayerState->TrackNo = 9;
    EXPECT_EQ(expected[0].id, BuildAndRead()[0].id);
}

TEST_F(TrackList, NoTrackCountOrNoEntriesGiveNoMenu) {
    Configure(20, 0, 1);
    EXPECT_EQ(nullptr, BuildTrackMenu()); // empty list
    MakePlaylist(3);
    const LONG counts[] = {0, -1, INT_MIN};
    for (LONG count : counts) {
        PlayerState->TrackCount = count;
        EXPECT_EQ(nullptr, BuildTrackMenu());
    }
}

TEST_F(TrackList, ATrackNoOutsideTheListMarksNothing) {
    MakePlaylist(30);
    Configure(20, 40, 1); // starts at entry 0, since the window falls past the end
    std::vector<MenuItem> expected;
    AddItems(expected, 0, 20, 1);
    EXPECT_EQ(expected, BuildAndRead());

    PlayerState->TrackNo = INT_MAX;
    EXPECT_EQ(expected, BuildAndRead());

    PlayerState->TrackStyle = TRACKS_CLAMPED;
    expected.clear();
    AddItems(expected, 10, 20, 11);
    EXPECT_EQ(expected, BuildAndRead());
    PlayerState->TrackNo = 30;
    EXPECT_EQ(expected, BuildAndRead());
}

TEST_F(TrackList, ANegativeTrackNoShowsTheListAsForZeroWithNothingMarked) {
    MakePlaylist(30);
    const LONG negatives[] = {-1, -25, INT_MIN};
    for (LONG trackNo : negatives) {
        SCOPED_TRACE(trackNo);
        Configure(20, trackNo, 1);
        std::vector<MenuItem> expected;
        AddItems(expected, 20, 10, 1);
        AddItems(expected, 0, 10, 11);
        EXPECT_EQ(expected, BuildAndRead());

        PlayerState->TrackStyle = TRACKS_CLAMPED;
        expected.clear();
        AddItems(expected, 0, 20, 1);
        EXPECT_EQ(expected, BuildAndRead());
    }
}

TEST_F(TrackList, LabelsShowBaseNamesWhateverCharactersTheyHold) {
    std::wstring longName(1000, L'n');
    const std::wstring paths[] = {
        L"C:\\music\\" + longName + L".mp3",
        L"C:\\music\\Rock & Roll.mp3",
        L"C:\\music\\a\tb.mp3",
        L"no folder.mp3",
        L"C:\\music\\folder\\",
        L"C:\\音楽\\曲名.mp3",
    };
    TRACKENTRY *last = Playlist;
    for (const std::wstring &path : paths)
        last = LinkNewTrack(last, path.c_str());
    Configure(20, 1, 0);
    std::vector<MenuItem> items = BuildAndRead();
    ASSERT_EQ(6u, items.size());

    // The long name is cut so the label fits a displayed name of 520.
    EXPECT_EQ((UINT)IDM_TRACK_FIRST, items[0].id);
    EXPECT_LT(items[0].text.size(), 520u);
    EXPECT_GT(items[0].text.size(), 260u);
    EXPECT_EQ(L"&1\t" + longName.substr(0, items[0].text.size() - 3), items[0].text);

    EXPECT_EQ(Item(1, 2, true, L"Rock & Roll.mp3"), items[1]);
    EXPECT_EQ(Item(2, 3, false, L"a\tb.mp3"), items[2]);
    EXPECT_EQ(Item(3, 4, false, L"no folder.mp3"), items[3]);
    EXPECT_EQ(Item(4, 5, false, L""), items[4]);
    EXPECT_EQ(Item(5, 6, false, L"曲名.mp3"), items[5]);
}

TEST_F(TrackList, TheListIsLoadedFromThePlaylistFileOnFirstNeed) {
    std::wstring folder = MakeScratchFolder(L"lazy");
    std::string lines;
    for (int index = 0; index < 3; ++index) {
        std::wstring path = folder + TrackName(index);
        WriteBytes(path, "audio");
        lines += Utf8(path) + "\r\n";
    }
    std::wstring playlistFile = TestFolder() + L"tonquil.m3u";
    Configure(20, 1, 0);

    WriteBytes(playlistFile, "");
    PlaylistLoaded = 0;
    EXPECT_EQ(nullptr, BuildTrackMenu()); // an empty file shows nothing
    EXPECT_EQ(1, PlaylistLoaded);         // but was the one load

    WriteBytes(playlistFile, lines);
    PlaylistLoaded = 0;
    std::vector<MenuItem> expected;
    AddItems(expected, 0, 3, 1, 1);
    EXPECT_EQ(expected, BuildAndRead());
    DeletePath(playlistFile);
}

// Entries past index 64255 would need an id above 65535; they are left out
// rather than given a wrapped id that plays another track.
TEST_F(TrackList, EntriesWhoseIdWouldPass65535AreLeftOut) {
    const LONG count = 64300;
    TRACKENTRY *last = Playlist;
    for (LONG index = 0; index < count; ++index) {
        WCHAR path[32];
        wsprintfW(path, L"X:\\%d.mp3", (int)index);
        last = LinkNewTrack(last, path);
        ASSERT_NE(nullptr, last);
    }

    Configure(20, 0, 1); // the ten entries before 0 are the list's last
    std::vector<MenuItem> items = BuildAndRead();
    ASSERT_EQ(10u, items.size());
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ((UINT)(IDM_TRACK_FIRST + k), items[k].id);
        EXPECT_EQ(L"&" + std::to_wstring(k + 1) + L"\t" + std::to_wstring(k) + L".mp3",
                  items[k].text);
    }

    Configure(20, 64250, 0);
    items = BuildAndRead();
    ASSERT_EQ(16u, items.size());
    EXPECT_EQ((UINT)IDM_TRACK_FIRST + 64240, items.front().id);
    EXPECT_EQ(65535u, items.back().id);
    EXPECT_EQ(L"&64256\t64255.mp3", items.back().text);
    EXPECT_EQ(0x1008u, items[10].state);

    Configure(20, 64299, 1);
    items = BuildAndRead();
    ASSERT_EQ(9u, items.size());
    for (const MenuItem &item : items)
        EXPECT_EQ(0u, item.state);
    EXPECT_EQ(L"&9\t8.mp3", items.back().text);
}

// A test window that records the commands the menus send.
std::vector<WPARAM> Chosen;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND)
        Chosen.push_back(wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateOwner() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"TonquilMenuOwner";
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, L"TonquilMenuOwner", NULL, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, NULL,
                           NULL, GetModuleHandleW(NULL), NULL);
}

// Waits for the popup to open, then types the keys at it. Gives whether the
// popup was seen.
bool TypeIntoPopup(HWND owner, std::vector<UINT> keys) {
    for (int tries = 0; tries < 500; ++tries) {
        HWND popup = FindWindowW(L"#32768", NULL);
        if (popup && IsWindowVisible(popup)) {
            for (UINT key : keys) {
                PostMessageW(owner, WM_KEYDOWN, key, 1);
                if (key >= 'A' && key <= 'Z')
                    PostMessageW(owner, WM_CHAR, key, 1);
                PostMessageW(owner, WM_KEYUP, key, 0xC0000001);
            }
            return true;
        }
        Sleep(10);
    }
    for (int i = 0; i < 3; ++i)
        PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 1);
    return false;
}

void PumpQueue() {
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

class ShownMenus : public TrackList {
  protected:
    HWND owner = NULL;
    void SetUp() override {
        TrackList::SetUp();
        owner = CreateOwner();
        ASSERT_NE(nullptr, owner);
        Chosen.clear();
    }
    void TearDown() override {
        DestroyWindow(owner);
        TrackList::TearDown();
    }
};

TEST_F(ShownMenus, TheCommandMenuSendsTheChosenCommandAfterItCloses) {
    bool seen = false;
    std::thread typist([&] { seen = TypeIntoPopup(owner, {'X'}); });
    EXPECT_EQ(0, ShowMainMenu(owner));
    typist.join();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(Chosen.empty()); // the choice arrives as a message of its own
    PumpQueue();
    EXPECT_EQ(std::vector<WPARAM>{IDM_EXIT}, Chosen);
}

TEST_F(ShownMenus, TheTrackListSendsTheChosenEntrysIdNotItsPosition) {
    MakePlaylist(30);
    Configure(20, 3, 1);
    bool seen = false;
    std::thread typist([&] { seen = TypeIntoPopup(owner, {VK_DOWN, VK_DOWN, VK_RETURN}); });
    EXPECT_EQ(0, ShowTrackMenu(owner));
    typist.join();
    ASSERT_TRUE(seen);
    PumpQueue();
    EXPECT_EQ(std::vector<WPARAM>{IDM_TRACK_FIRST + 24}, Chosen);
}

TEST_F(ShownMenus, ADismissedMenuSendsNothing) {
    MakePlaylist(3);
    bool seen = false;
    std::thread typist([&] { seen = TypeIntoPopup(owner, {VK_ESCAPE}); });
    ShowTrackMenu(owner);
    typist.join();
    EXPECT_TRUE(seen);
    PumpQueue();
    EXPECT_TRUE(Chosen.empty());
}

} // namespace
