// The real player with the real engine (on its silent clock when there is no
// sound device) and the real window module, through a shuffled playlist of
// 2,000 very short tracks, some damaged and some missing, while another
// thread drives it with control messages in random order. Nothing may crash,
// hang, go missing from the list or leak; the figures are printed.
#include <gtest/gtest.h>

#include "running_player.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <psapi.h>
#include <winternl.h>

#include <atomic>
#include <set>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

#define TRACKS 2000
#define STEPS 4000
#define BASELINE_TRACKS 100
#define ANSWER_MS 10000
// What may grow after the first hundred tracks without counting as a leak:
// the list of entries the test inserts, the heap's own slack.
#define HANDLE_MARGIN 40
#define PRIVATE_MARGIN (8u << 20)

enum Kind { Good, Damaged, Missing };

struct Track {
    std::wstring path;
    Kind kind;
};

// 8 kHz mono, 16-bit: 20 ms of a quiet ramp.
std::string ShortWav() {
    const DWORD frames = 160, bytes = frames * 2;
    std::string wav = "RIFF";
    auto dword = [&wav](DWORD value) { wav.append((const char *)&value, 4); };
    dword(36 + bytes);
    wav += "WAVEfmt ";
    dword(16);
    wav.append("\x01\x00\x01\x00", 4);
    dword(8000);
    dword(16000);
    wav.append("\x02\x00\x10\x00", 4);
    wav += "data";
    dword(bytes);
    for (DWORD i = 0; i < frames; ++i)
        wav.append(1, (char)i).append(1, '\0');
    return wav;
}

// An ID3v1 tag after the audio, for the balloon's artist and title.
std::string Id3v1Tag(int number) {
    std::string tag = "TAG" + ("Title " + std::to_string(number)).append(30, '\0').substr(0, 30);
    return (tag + std::string("Artist").append(30, '\0')).append(128, '\0').substr(0, 128);
}

std::vector<Track> MakeTracks(const std::wstring &folder) {
    std::string wav = ShortWav();
    std::vector<Track> tracks;
    for (int i = 0; i < TRACKS; ++i) {
        Kind kind = i % 13 == 5 ? Damaged : (i % 17 == 3 ? Missing : Good);
        std::wstring path = folder + L"track" + std::to_wstring(i) + (i % 2 ? L".wav" : L".mp3");
        // A WAV under an MPEG name still plays: the engine goes by content.
        if (kind == Good)
            WriteBytes(path, i % 3 ? wav : wav + Id3v1Tag(i));
        else if (kind == Damaged)
            WriteBytes(path, i % 2 ? wav.substr(0, 30) : std::string(3000, '\xFF'));
        tracks.push_back({path, kind});
    }
    return tracks;
}

struct Figures {
    DWORD handles;
    SIZE_T privateBytes;
};

typedef NTSTATUS(WINAPI *QUERYSYSTEMINFORMATION)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);

// The handle count from the system's process list: Wine answers
// GetProcessHandleCount for another process with 0.
DWORD HandleCount(DWORD processId) {
    QUERYSYSTEMINFORMATION query = (QUERYSYSTEMINFORMATION)(void *)GetProcAddress(
        GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation");
    std::vector<BYTE> list(4 << 20);
    ULONG length = 0;
    if (!query || query(SystemProcessInformation, list.data(), (ULONG)list.size(), &length) != 0)
        return 0;
    for (size_t at = 0;;) {
        const SYSTEM_PROCESS_INFORMATION *entry = (const SYSTEM_PROCESS_INFORMATION *)&list[at];
        if ((DWORD)(UINT_PTR)entry->UniqueProcessId == processId)
            return entry->HandleCount;
        if (!entry->NextEntryOffset)
            return 0;
        at += entry->NextEntryOffset;
    }
}

// Private bytes are the commit charge, PagefileUsage (Wine leaves the
// extended counters' PrivateUsage at 0).
Figures Measure(HANDLE process) {
    Figures figures = {HandleCount(GetProcessId(process)), 0};
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory))
        figures.privateBytes = memory.PagefileUsage;
    return figures;
}

// The player's answer, or -1 when it did not answer in time (a hang).
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, ANSWER_MS, &answer))
        return -1;
    return (LRESULT)answer;
}

struct Driver {
    HWND window;
    HANDLE process;
    const std::vector<Track> *tracks;
    void *remotePath; // the player's own memory, for the paths it is given
    std::atomic<int> hangs;
    std::atomic<bool> done;
    int removed;
    int goodInserted;
    int lastVolume;
};

DWORD NextRandom(DWORD *state) {
    *state = *state * 1103515245u + 12345u;
    return *state >> 8;
}

void Step(Driver *driver, DWORD *seed) {
    HWND window = driver->window;
    DWORD index = NextRandom(seed) % (TRACKS + 100);
    LRESULT answer = 0;
    switch (NextRandom(seed) % 8) {
    case 0: {
        const Track &track = (*driver->tracks)[index % TRACKS];
        WriteProcessMemory(driver->process, driver->remotePath, track.path.c_str(),
                           (track.path.size() + 1) * sizeof(WCHAR), NULL);
        answer = Ask(window, CM_INSERTTRACK, (WPARAM)-1, (LPARAM)driver->remotePath);
        driver->goodInserted += answer == 1 && track.kind == Good;
        break;
    }
    case 1:
        answer = Ask(window, CM_REMOVETRACK, index);
        driver->removed += answer == 1;
        break;
    case 2:
        answer = Ask(window, WM_COMMAND, IDM_TRACK_FIRST + index);
        break;
    case 3:
        answer = Ask(window, CM_PLAYNEXT);
        break;
    case 4:
        answer = Ask(window, CM_PLAYPREV);
        break;
    case 5:
        answer = Ask(window, CM_PAUSE);
        break;
    case 6:
        driver->lastVolume = (int)(index % 101);
        answer = Ask(window, CM_SETVOLUME, (WPARAM)driver->lastVolume);
        break;
    default:
        answer = Ask(window, WM_COMMAND, IDM_SHOWWINDOW);
        break;
    }
    driver->hangs += answer == -1;
}

DWORD WINAPI Drive(void *parameter) {
    Driver *driver = (Driver *)parameter;
    DWORD seed = 20261208;
    for (int step = 0; step < STEPS && driver->hangs == 0; ++step) {
        Step(driver, &seed);
        Sleep(NextRandom(&seed) % 8);
    }
    driver->done = true;
    return 0;
}

bool ReadRemote(HANDLE process, const void *at, void *into, SIZE_T size) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, at, into, size, &got) && got == size;
}

std::wstring ReadRemotePath(HANDLE process, const WCHAR *at) {
    WCHAR path[MAX_PATH * 2] = {};
    SIZE_T got = 0;
    ReadProcessMemory(process, at, path, sizeof path - sizeof(WCHAR), &got);
    return path;
}

struct ListCheck {
    bool linked;
    int count;
    int good;
    std::set<std::wstring> strangers;
};

// Walks the player's list as a module sees it: the links both ways, unique
// ids, and every path one the test gave it.
ListCheck CheckList(HANDLE process, HWND window, const std::vector<Track> &tracks) {
    std::set<std::wstring> good, known;
    for (const Track &track : tracks) {
        known.insert(track.path);
        if (track.kind == Good)
            good.insert(track.path);
    }
    ListCheck check = {true, 0, 0, {}};
    std::set<LONG> ids;
    TRACKENTRY previous = {};
    const void *previousAt = NULL;
    for (;; ++check.count) {
        const void *at = (const void *)Ask(window, CM_GETTRACKENTRY, check.count);
        TRACKENTRY entry;
        if (!at || at == (const void *)-1 || !ReadRemote(process, at, &entry, sizeof entry))
            break;
        check.linked = check.linked && ids.insert(entry.TrackId).second && entry.Prev &&
                       (!previousAt || (entry.Prev == previousAt && previous.Next == at));
        std::wstring path = ReadRemotePath(process, entry.Path);
        check.good += good.count(path) != 0;
        if (!known.count(path))
            check.strangers.insert(path);
        previous = entry;
        previousAt = at;
    }
    check.linked = check.linked && (!previousAt || previous.Next == NULL);
    return check;
}

} // namespace

TEST(Soak, ShuffledPlayUnderRandomControlKeepsTheListAndLeaksNothing) {
    std::wstring folder = PlayerFolder(L"soak");
    for (const wchar_t *file : {L"bass.dll", L"tonquil_media.dll", L"tonquil.dll"})
        ASSERT_TRUE(CopyInto(BinFolder() + file, folder + file));
    std::vector<Track> tracks = MakeTracks(MakeScratchFolder(L"soak\\tracks"));
    std::string playlist;
    int goodTracks = 0;
    for (const Track &track : tracks) {
        playlist += Utf8(track.path) + "\r\n";
        goodTracks += track.kind == Good;
    }
    ASSERT_TRUE(WriteBytes(folder + L"tonquil.m3u", playlist));
    ASSERT_TRUE(WriteBytes(folder + L"tonquil.ini", "[Client]\r\nPlayMode=2\r\nShowInfo=2\r\n"));
    RunningPlayer player = StartPlayer(folder);
    ASSERT_NE(nullptr, player.window);
    DWORD started = GetTickCount();
    ASSERT_EQ(0, Ask(player.window, WM_COMMAND, IDM_SHOWWINDOW));
    ASSERT_EQ(1, Ask(player.window, CM_PLAY));

    // The first hundred tracks, as their starts are seen, set the baseline.
    LRESULT last = -2;
    int changes = 0;
    DWORD firstWait = GetTickCount();
    while (changes < BASELINE_TRACKS && GetTickCount() - firstWait < 60000) {
        LRESULT now = Ask(player.window, CM_GETTRACKNO);
        ASSERT_NE(-1, now) << "the player stopped answering";
        changes += now != last;
        last = now;
        Sleep(15);
    }
    ASSERT_EQ(BASELINE_TRACKS, changes);
    Figures baseline = Measure(player.process);

    Driver driver = {player.window, player.process, &tracks, NULL, {0}, {false}, 0, 0, 100};
    driver.remotePath = VirtualAllocEx(player.process, NULL, sizeof(WCHAR) * MAX_PATH * 2,
                                       MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(nullptr, driver.remotePath);
    HANDLE thread = CreateThread(NULL, 0, Drive, &driver, 0, NULL);
    ASSERT_NE(nullptr, thread);
    int seen = 0;
    while (WaitForSingleObject(thread, 15) == WAIT_TIMEOUT) {
        LRESULT now = Ask(player.window, CM_GETTRACKNO);
        seen += now != last;
        last = now;
    }
    CloseHandle(thread);
    EXPECT_EQ(0, driver.hangs);

    // Let what is queued settle, then look at the player as it is. A track
    // chosen by the last steps posts its play, which the player takes after
    // a stop sent meanwhile: the second stop comes after it.
    // A volume posted behind each stop shows once all before it is done;
    // the driver's last one is then put back.
    for (int stop = 0; stop < 2; ++stop) {
        Ask(player.window, CM_STOP);
        PostMessageW(player.window, CM_SETVOLUME, 37 + stop, 0);
        WaitUntil([&] { return Ask(player.window, CM_GETVOLUME) == 37 + stop; }, 10000);
    }
    Ask(player.window, CM_SETVOLUME, driver.lastVolume);
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(player.process, 0)) << "the player ended";
    Figures end = Measure(player.process);
    ListCheck list = CheckList(player.process, player.window, tracks);
    LRESULT trackNo = Ask(player.window, CM_GETTRACKNO);
    printf("soak: %d tracks (%d good), %d steps, %d track changes seen after the first %d, "
           "%.1f s\n",
           TRACKS, goodTracks, STEPS, seen, BASELINE_TRACKS, (GetTickCount() - started) / 1000.0);
    printf("soak: list %d entries, %d good, %d removed and %d good inserted by the test\n",
           list.count, list.good, driver.removed, driver.goodInserted);
    printf("soak: handles %lu -> %lu, private bytes %lu KB -> %lu KB\n",
           (unsigned long)baseline.handles, (unsigned long)end.handles,
           (unsigned long)(baseline.privateBytes / 1024), (unsigned long)(end.privateBytes / 1024));
    EXPECT_TRUE(list.linked);
    EXPECT_TRUE(list.strangers.empty()) << Utf8(*list.strangers.begin());
    // The player drops only entries it cannot open; the test removed the rest.
    EXPECT_GE(list.good, goodTracks + driver.goodInserted - driver.removed);
    EXPECT_TRUE(list.count == 0 ? trackNo >= 0 : trackNo >= 0 && trackNo < list.count) << trackNo;
    EXPECT_NE(0u, baseline.handles);
    EXPECT_NE(0u, baseline.privateBytes);
    EXPECT_LE(end.handles, baseline.handles + HANDLE_MARGIN);
    EXPECT_LE(end.privateBytes, baseline.privateBytes + PRIVATE_MARGIN);

    EXPECT_EQ(0, CloseAndWait(player));
    EXPECT_EQ(playlist, ReadBytes(folder + L"tonquil.m3u"));
    std::string ini = ReadBytes(folder + L"tonquil.ini");
    EXPECT_NE(std::string::npos, ini.find("[Client]"));
    EXPECT_NE(std::string::npos, ini.find("PlayMode=2"));
    EXPECT_NE(std::string::npos, ini.find("Volume=" + std::to_string(driver.lastVolume) + "\r\n"));
    EXPECT_NE(std::string::npos, ini.find("[Window]"));
}
