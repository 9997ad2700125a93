// The control messages, sent to the real main window as a module would.
#include "player_fixture.h"

#include "test_support.h"
#include "tonquil_extension.h"

#include <climits>

namespace {

const WPARAM Extremes[] = {(WPARAM)INT_MIN, (WPARAM)-1, (WPARAM)0x7FFFFFFF};

const TRACKENTRY *Entry(LRESULT result) {
    return (const TRACKENTRY *)result;
}

size_t Count(const std::vector<std::string> &log, const char *prefix) {
    return LogLinesStarting(log, prefix).size();
}

} // namespace

class ControlMessages : public PlayerTest {
  protected:
    // Appends tracks by message, as a module would; gives their paths.
    std::vector<std::wstring> Insert(const std::vector<const wchar_t *> &names) {
        std::vector<std::wstring> paths;
        for (const wchar_t *name : names) {
            paths.push_back(Track(name));
            EXPECT_EQ(1, Send(CM_INSERTTRACK, (WPARAM)-1, (LPARAM)paths.back().c_str()));
        }
        return paths;
    }
    std::wstring PathAt(WPARAM index) {
        const TRACKENTRY *entry = Entry(Send(CM_GETTRACKENTRY, index));
        return entry && entry->Path ? entry->Path : L"";
    }
    LONG TrackIdAt(WPARAM index) {
        const TRACKENTRY *entry = Entry(Send(CM_GETTRACKENTRY, index));
        return entry ? entry->TrackId : -1;
    }
};

TEST_F(ControlMessages, SettersKeepOnlyValidValuesAndGettersGiveThemBack) {
    ASSERT_NE(nullptr, Open());
    const struct {
        UINT set, get;
        WPARAM value;
        LRESULT result, stored;
    } steps[] = {
        {CM_SETPLAYMODE, CM_GETPLAYMODE, 3, 0, 1},
        {CM_SETPLAYMODE, CM_GETPLAYMODE, 2, 1, 2},
        {CM_SETPLAYMODE, CM_GETPLAYMODE, 0, 1, 0},
        {CM_SETSAMPLEBIT, CM_GETSAMPLEBIT, 1, 0, 0},
        {CM_SETSAMPLEBIT, CM_GETSAMPLEBIT, 256, 1, 256},
        {CM_SETSAMPLEBIT, CM_GETSAMPLEBIT, 258, 0, 256},
        {CM_SETSAMPLEBIT, CM_GETSAMPLEBIT, 2, 1, 2},
        {CM_SETVOLUME, CM_GETVOLUME, 101, 0, 100},
        {CM_SETVOLUME, CM_GETVOLUME, (WPARAM)-1, 0, 100},
        {CM_SETVOLUME, CM_GETVOLUME, 0, 1, 0},
        {CM_SETVOLUME, CM_GETVOLUME, 100, 1, 100},
        {CM_SETVOLUME, CM_GETVOLUME, 37, 1, 37},
        {CM_SETMUTE, CM_GETMUTE, 5, 1, 5},
        {CM_SETMUTE, CM_GETMUTE, (WPARAM)-1, 1, -1},
        {CM_SETMUTE, CM_GETMUTE, 0, 1, 0},
        {CM_SETSHOWINFO, CM_GETSHOWINFO, 3, 0, 0},
        {CM_SETSHOWINFO, CM_GETSHOWINFO, 2, 1, 2},
        {CM_SETTRACKSTYLE, CM_GETTRACKSTYLE, 2, 0, 1},
        {CM_SETTRACKSTYLE, CM_GETTRACKSTYLE, 0, 1, 0},
        {CM_SETRESUME, CM_GETRESUME, 1, 1, 1},
        {CM_SETRESUME, CM_GETRESUME, 2, 0, 1},
        {CM_SETRESUME, CM_GETRESUME, 0, 1, 0},
        {CM_SETREPLAYGAIN, CM_GETREPLAYGAIN, 2, 1, 2},
        {CM_SETREPLAYGAIN, CM_GETREPLAYGAIN, 3, 0, 2},
        {CM_SETREPLAYGAIN, CM_GETREPLAYGAIN, 1, 1, 1},
        {CM_SETREPLAYGAIN, CM_GETREPLAYGAIN, 0, 1, 0},
    };
    for (const auto &step : steps) {
        EXPECT_EQ(step.result, Send(step.set, step.value))
            << std::hex << step.set << " " << step.value;
        EXPECT_EQ(step.stored, Send(step.get)) << std::hex << step.get;
    }
}

TEST_F(ControlMessages, ExtremeValuesAreRefusedExceptByMute) {
    ASSERT_NE(nullptr, Open());
    const struct {
        UINT set, get;
    } pairs[] = {{CM_SETPLAYMODE, CM_GETPLAYMODE},     {CM_SETSAMPLEBIT, CM_GETSAMPLEBIT},
                 {CM_SETVOLUME, CM_GETVOLUME},         {CM_SETSHOWINFO, CM_GETSHOWINFO},
                 {CM_SETTRACKSTYLE, CM_GETTRACKSTYLE}, {CM_SETTRACKNO, CM_GETTRACKNO},
                 {CM_SETRESUME, CM_GETRESUME},         {CM_SETREPLAYGAIN, CM_GETREPLAYGAIN}};
    for (const auto &pair : pairs) {
        LRESULT before = Send(pair.get);
        for (WPARAM value : Extremes) {
            EXPECT_EQ(0, Send(pair.set, value)) << std::hex << pair.set << " " << value;
            EXPECT_EQ(before, Send(pair.get));
        }
    }
    // Mute stores any value unchanged.
    for (WPARAM value : Extremes) {
        EXPECT_EQ(1, Send(CM_SETMUTE, value));
        EXPECT_EQ((LRESULT)(LONG)value, Send(CM_GETMUTE));
    }
}

TEST_F(ControlMessages, VolumeAndMuteReachThePlayingStreamAtOnce) {
    WritePlaylist({L"a.mp3"});
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(1, Send(CM_PLAY));
    ASSERT_EQ(1u, Count(BassLog(), "BASS_ChannelPlay(1,"));

    EXPECT_EQ(1, Send(CM_SETVOLUME, 37));
    EXPECT_EQ("BASS_ChannelSetAttributes(1,0,37,0)=1", BassLog().back());
    EXPECT_EQ(1, Send(CM_SETMUTE, 5));
    EXPECT_EQ("BASS_ChannelSetAttributes(1,0,0,0)=1", BassLog().back());
    // A volume is applied even while muted.
    EXPECT_EQ(1, Send(CM_SETVOLUME, 50));
    EXPECT_EQ("BASS_ChannelSetAttributes(1,0,50,0)=1", BassLog().back());
    EXPECT_EQ(1, Send(CM_SETMUTE, 0));
    EXPECT_EQ("BASS_ChannelSetAttributes(1,0,50,0)=1", BassLog().back());

    // These only take effect where they are next read: the stream stays.
    size_t calls = BassLog().size();
    EXPECT_EQ(1, Send(CM_SETSAMPLEBIT, 256));
    EXPECT_EQ(1, Send(CM_SETPLAYMODE, 2));
    EXPECT_EQ(1, Send(CM_SETSHOWINFO, 1));
    EXPECT_EQ(1, Send(CM_SETTRACKSTYLE, 0));
    EXPECT_EQ(calls, BassLog().size());
}

TEST_F(ControlMessages, EntriesReadBackAsTrackEntries) {
    ASSERT_NE(nullptr, Open());
    for (WPARAM index : {(WPARAM)0, (WPARAM)-1, (WPARAM)1, (WPARAM)INT_MIN, (WPARAM)0x7FFFFFFF})
        EXPECT_EQ(0, Send(CM_GETTRACKENTRY, index)) << index;

    std::vector<std::wstring> paths = Insert({L"a.mp3", L"b.ogg", L"c.flac"});
    const TRACKENTRY *entries[3];
    for (int i = 0; i < 3; ++i) {
        entries[i] = Entry(Send(CM_GETTRACKENTRY, i));
        ASSERT_NE(nullptr, entries[i]);
        EXPECT_EQ(i + 1, entries[i]->TrackId);
        EXPECT_EQ(paths[i], entries[i]->Path);
        EXPECT_NE(paths[i].c_str(), entries[i]->Path); // a copy of its own
        EXPECT_EQ(0, entries[i]->Reserved1);
        EXPECT_EQ(nullptr, entries[i]->ReservedText1);
        EXPECT_EQ(0, entries[i]->Reserved2);
        EXPECT_EQ(nullptr, entries[i]->ReservedText2);
        EXPECT_EQ(nullptr, entries[i]->ReservedText3);
        EXPECT_EQ(0, entries[i]->Reserved3);
    }
    // Linked both ways; the first entry's Prev is the all-zero list head.
    const TRACKENTRY *head = entries[0]->Prev;
    ASSERT_NE(nullptr, head);
    EXPECT_EQ(entries[0], head->Next);
    EXPECT_EQ(nullptr, head->Prev);
    EXPECT_EQ(0, head->TrackId);
    EXPECT_EQ(nullptr, head->Path);
    EXPECT_EQ(entries[1], entries[0]->Next);
    EXPECT_EQ(entries[0], entries[1]->Prev);
    EXPECT_EQ(entries[2], entries[1]->Next);
    EXPECT_EQ(entries[1], entries[2]->Prev);
    EXPECT_EQ(nullptr, entries[2]->Next);

    // An index of 0 or below is the first entry; one at the count is none.
    EXPECT_EQ(entries[0], Entry(Send(CM_GETTRACKENTRY, (WPARAM)-1)));
    EXPECT_EQ(entries[0], Entry(Send(CM_GETTRACKENTRY, (WPARAM)INT_MIN)));
    EXPECT_EQ(0, Send(CM_GETTRACKENTRY, 3));
    EXPECT_EQ(0, Send(CM_GETTRACKENTRY, 0x7FFFFFFF));
}

TEST_F(ControlMessages, InsertionPlacesEntriesByIndex) {
    ASSERT_NE(nullptr, Open());
    std::wstring first = Track(L"first.mp3"), appended = Track(L"appended.wav");
    EXPECT_EQ(0, Send(CM_INSERTTRACK, 1, (LPARAM)first.c_str())); // beyond an empty list
    EXPECT_EQ(1, Send(CM_INSERTTRACK, 0, (LPARAM)first.c_str()));
    Insert({L"b.mp3", L"c.mp3"});
    ASSERT_EQ(3, CountTracks());

    EXPECT_EQ(0, Send(CM_INSERTTRACK, 4, (LPARAM)appended.c_str()));
    EXPECT_EQ(0, Send(CM_INSERTTRACK, 0x7FFFFFFF, (LPARAM)appended.c_str()));
    EXPECT_EQ(1, Send(CM_INSERTTRACK, 3, (LPARAM)appended.c_str()));
    EXPECT_EQ(appended, PathAt(3));
    EXPECT_EQ(1, Send(CM_INSERTTRACK, (WPARAM)INT_MIN, (LPARAM)first.c_str()));
    EXPECT_EQ(first, PathAt(4));
    EXPECT_EQ(1, Send(CM_INSERTTRACK, 1, (LPARAM)appended.c_str()));
    EXPECT_EQ(appended, PathAt(1));
    EXPECT_EQ(6, CountTracks());
    // Refusals drew no TrackIds: the six entries hold 1 to 6.
    EXPECT_EQ(6, TrackIdAt(1));
    EXPECT_EQ(5, TrackIdAt(5));
    // Nothing started and nothing was loaded for any of it.
    EXPECT_EQ(0u, Count(BassLog(), "BASS_"));
}

TEST_F(ControlMessages, InsertionRefusesWhatIsNoPlayableFile) {
    ASSERT_NE(nullptr, Open());
    std::wstring upper = Track(L"loud.MP3"), text = Track(L"notes.txt");
    std::wstring missing = folder + L"tracks\\missing.mp3";
    std::wstring folderNamedMp3 = folder + L"tracks\\folder.mp3";
    CreateDirectoryW(folderNamedMp3.c_str(), NULL);
    const wchar_t *refused[] = {missing.c_str(),        upper.c_str(), text.c_str(),
                                folderNamedMp3.c_str(), L"",           NULL};
    for (const wchar_t *path : refused)
        for (WPARAM index : {(WPARAM)0, (WPARAM)-1, (WPARAM)INT_MIN})
            EXPECT_EQ(0, Send(CM_INSERTTRACK, index, (LPARAM)path)) << (path ? Utf8(path) : "NULL");
    EXPECT_EQ(0, CountTracks());
    Insert({L"ok.mp3"});
    EXPECT_EQ(1, TrackIdAt(0));
    RemoveDirectoryW(folderNamedMp3.c_str());
}

TEST_F(ControlMessages, TrackNoIsSetWithinTheListWithoutPlaying) {
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(0, Send(CM_SETTRACKNO, 0)); // the list is empty until something is inserted
    Insert({L"a.mp3", L"b.mp3", L"c.mp3"});
    EXPECT_EQ(0, Send(CM_SETTRACKNO, 3));
    EXPECT_EQ(0, Send(CM_GETTRACKNO));
    EXPECT_EQ(1, Send(CM_SETTRACKNO, 2));
    EXPECT_EQ(2, Send(CM_GETTRACKNO));
    EXPECT_EQ(1, Send(CM_SETTRACKNO, 0));
    EXPECT_EQ(0, Send(CM_GETTRACKNO));
    EXPECT_EQ(0u, Count(BassLog(), "BASS_"));
}

TEST_F(ControlMessages, RemovalByIndex) {
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(0, Send(CM_REMOVETRACK, 0));
    std::vector<std::wstring> paths = Insert({L"a.mp3", L"b.mp3", L"c.mp3", L"d.mp3"});
    EXPECT_EQ(0, Send(CM_REMOVETRACK, 4));
    EXPECT_EQ(0, Send(CM_REMOVETRACK, 0x7FFFFFFF));
    EXPECT_EQ(1, Send(CM_REMOVETRACK, (WPARAM)INT_MIN));
    EXPECT_EQ(paths[1], PathAt(0));
    EXPECT_EQ(1, Send(CM_REMOVETRACK, (WPARAM)-1));
    EXPECT_EQ(paths[2], PathAt(0));
    EXPECT_EQ(1, Send(CM_REMOVETRACK, 1));
    EXPECT_EQ(1, CountTracks());
    EXPECT_EQ(1, Send(CM_REMOVETRACK, 0));
    EXPECT_EQ(0, CountTracks());
    EXPECT_EQ(0, Send(CM_REMOVETRACK, 0));
    // The numbers of removed entries are not given out again.
    Insert({L"e.mp3"});
    EXPECT_EQ(5, TrackIdAt(0));
}

TEST_F(ControlMessages, RemovingThePlayingEntryLeavesTheStreamPlaying) {
    WritePlaylist({L"a.mp3", L"b.mp3", L"c.mp3"});
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(1, Send(CM_PLAY)); // loads the playlist file
    ASSERT_EQ(3, CountTracks());
    EXPECT_EQ(1, Send(CM_SETTRACKNO, 1));
    EXPECT_EQ(1, Send(CM_PLAY));
    std::vector<std::string> log = BassLog();
    ASSERT_EQ(2u, Count(log, "BASS_ChannelPlay("));
    size_t calls = log.size();

    EXPECT_EQ(1, Send(CM_REMOVETRACK, 1));
    EXPECT_EQ(calls, BassLog().size()); // no stop, no new stream
    EXPECT_EQ(1, Send(CM_GETTRACKNO));
    EXPECT_EQ(folder + L"tracks\\c.mp3", PathAt(1));
    // The stream of the removed entry is still the current one.
    EXPECT_EQ(1, Send(CM_PAUSE));
    EXPECT_EQ("BASS_ChannelPause(2)=1", BassLog().back());
}

TEST_F(ControlMessages, TransportMessagesAnswerOne) {
    ASSERT_NE(nullptr, Open());
    // An empty playlist: every transport message answers 1 and nothing plays.
    for (UINT message : {CM_PLAY, CM_PAUSE, CM_PLAYNEXT, CM_PLAYPREV, CM_STOP})
        EXPECT_EQ(1, Send(message)) << std::hex << message;
    EXPECT_EQ(0u, Count(BassLog(), "BASS_StreamCreateFile("));
    EXPECT_EQ(0u, Count(BassLog(), "BASS_ChannelPlay("));

    Insert({L"a.mp3", L"b.mp3", L"c.mp3"});
    EXPECT_EQ(1, Send(CM_PLAY));
    EXPECT_EQ(1u, Count(BassLog(), "BASS_ChannelPlay("));
    EXPECT_EQ(1, Send(CM_PLAYNEXT));
    EXPECT_EQ(1, Send(CM_GETTRACKNO));
    EXPECT_EQ(1, Send(CM_PLAYPREV));
    EXPECT_EQ(0, Send(CM_GETTRACKNO));
    EXPECT_EQ(1, Send(CM_PAUSE));
    EXPECT_EQ(0u, BassLog().back().find("BASS_ChannelPause("));
    EXPECT_EQ(1, Send(CM_STOP));
    EXPECT_EQ(0u, BassLog().back().find("BASS_ChannelStop("));
    EXPECT_EQ(3u, Count(BassLog(), "BASS_ChannelPlay("));
}

TEST_F(ControlMessages, InitAudioLoadsOnceAndInitialisesEachTime) {
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(0u, Count(BassLog(), "load"));
    LRESULT first = Send(CM_INITAUDIO);
    LRESULT second = Send(CM_INITAUDIO);
    EXPECT_NE(0, first);
    EXPECT_EQ(first, second);
    EXPECT_EQ((LRESULT)GetModuleHandleW((folder + L"bass.dll").c_str()), first);
    std::vector<std::string> log = BassLog();
    EXPECT_EQ(1u, Count(log, "load"));
    EXPECT_EQ(2u, Count(log, "BASS_Init("));
}

TEST_F(ControlMessages, InitAudioWithoutTheLibraryGivesZero) {
    std::wstring library = folder + L"bass.dll", away = folder + L"bass.dll.away";
    ASSERT_TRUE(MoveFileW(library.c_str(), away.c_str()));
    WritePlaylist({L"a.mp3"});
    if (Open()) {
        EXPECT_EQ(0, Send(CM_INITAUDIO));
        EXPECT_EQ(0, Send(CM_INITAUDIO));
        EXPECT_EQ(1, Send(CM_PLAY));
        EXPECT_EQ(1, CountTracks()); // a missing library is not the entry's fault
    }
    Close();
    EXPECT_TRUE(MoveFileW(away.c_str(), library.c_str()));
}

TEST_F(ControlMessages, NeighbouringValuesGetDefaultProcessing) {
    ASSERT_NE(nullptr, Open());
    Insert({L"a.mp3"});
    size_t calls = BassLog().size();
    std::wstring path = Track(L"b.mp3");
    std::vector<UINT> messages = {0x8100, 0x8101, 0x8102, 0x8103, 0x8122, 0x8200 - 1};
    for (UINT message = 0x8109; message <= 0x810F; ++message)
        messages.push_back(message);
    for (UINT message : messages)
        for (WPARAM value : {(WPARAM)0, (WPARAM)1, (WPARAM)INT_MIN, (WPARAM)-1, (WPARAM)0x7FFFFFFF})
            EXPECT_EQ(0, Send(message, value, (LPARAM)path.c_str())) << std::hex << message;
    EXPECT_EQ(1, CountTracks());
    EXPECT_EQ(calls, BassLog().size());
    EXPECT_EQ(100, Send(CM_GETVOLUME));
    EXPECT_EQ(0, Send(CM_GETTRACKNO));
}

TEST_F(ControlMessages, InsertionRefusesAPathItCannotRead) {
    ASSERT_NE(nullptr, Open());
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    SIZE_T page = system.dwPageSize;
    BYTE *block = (BYTE *)VirtualAlloc(NULL, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(nullptr, block);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_NOACCESS, &old));
    WCHAR *end = (WCHAR *)(block + page);

    // A path that fills its page up to the unreadable one.
    std::wstring path = Track(L"edge.mp3");
    WCHAR *fitting = end - (path.size() + 1);
    lstrcpyW(fitting, path.c_str());
    EXPECT_EQ(1, Send(CM_INSERTTRACK, (WPARAM)-1, (LPARAM)fitting));
    // The same path without its terminator runs into the unreadable page.
    WCHAR *unterminated = end - path.size();
    memcpy(unterminated, path.c_str(), path.size() * sizeof(WCHAR));
    EXPECT_EQ(0, Send(CM_INSERTTRACK, (WPARAM)-1, (LPARAM)unterminated));
    EXPECT_EQ(0, Send(CM_INSERTTRACK, (WPARAM)-1, (LPARAM)end));
    for (LPARAM address : {(LPARAM)1, (LPARAM)0xFFFF, (LPARAM)-1, (LPARAM)0x7FFFFFF0})
        EXPECT_EQ(0, Send(CM_INSERTTRACK, 0, address)) << std::hex << address;
    EXPECT_EQ(1, CountTracks());
    VirtualFree(block, 0, MEM_RELEASE);
}
