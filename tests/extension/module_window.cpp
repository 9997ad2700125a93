#include "module_window.h"

#include "player_window.h"
#include "running_player.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <commctrl.h>
#include <shlobj.h>
#include <stdlib.h>

void ModuleWindow::SetUp() {
    for (const wchar_t *name : {L"tonquil.ini", L"tonquil.ini.tmp", L"tonquil.m3u",
                                L"tonquil.m3u.bak", L"tonquil.m3u.tmp"})
        DeletePath(TestFolder() + name);
    ResetLog(TestFolder(), L"bass-calls.log");
    music = MakeScratchFolder(L"music");
}

void ModuleWindow::TearDown() {
    ClosePlayerWindow(player);
}

std::vector<std::wstring> ModuleWindow::MakeTracks(int count, const std::string &content) {
    std::vector<std::wstring> paths;
    for (int i = 1; i <= count; ++i) {
        wchar_t name[32];
        wsprintfW(name, L"track%02d.mp3", i);
        paths.push_back(music + name);
        EXPECT_TRUE(WriteBytes(paths.back(), content));
    }
    return paths;
}

void ModuleWindow::WritePlaylist(const std::vector<std::wstring> &paths) {
    std::string bytes;
    for (const std::wstring &path : paths)
        bytes += AnsiBytes(path) + "\r\n";
    ASSERT_TRUE(WriteBytes(TestFolder() + L"tonquil.m3u", bytes));
}

HWND ModuleWindow::StartAndShow() {
    player = StartPlayerWindow();
    if (!player)
        return NULL;
    SendMessageW(player, WM_COMMAND, IDM_SHOWWINDOW, 0);
    PumpMessages();
    return FindModuleWindow();
}

HWND FindModuleWindow() {
    return WaitForWindow(WINDOW_CLASS_NAME, GetCurrentProcessId(), 0);
}

HWND Control(HWND window, int id) {
    return GetDlgItem(window, id);
}

int RowCount(HWND list) {
    return (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
}

std::wstring RowText(HWND list, int row, int column) {
    wchar_t text[2048] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 2048;
    SendMessageW(list, LVM_GETITEMTEXTW, row, (LPARAM)&item);
    return text;
}

std::vector<int> MarkedRows(HWND list) {
    std::vector<int> rows;
    for (int row = 0; row < RowCount(list); ++row)
        if (RowText(list, row, 0).find(L'\x25B6') != std::wstring::npos)
            rows.push_back(row);
    return rows;
}

void DoubleClickRow(HWND list, int row) {
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    RECT box = {};
    box.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, row, (LPARAM)&box);
    int x = box.left + 10, y = (box.top + box.bottom) / 2;
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void SelectRows(HWND list, const std::vector<int> &rows) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
    for (int row : rows) {
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
    }
}

void PressKey(HWND control, UINT key) {
    SendMessageW(control, WM_KEYDOWN, key, 1);
    SendMessageW(control, WM_KEYUP, key, 0xC0000001);
}

std::wstring StatusText(HWND window, int part) {
    HWND status = Control(window, IDC_STATUS);
    int length = LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, part, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(status, SB_GETTEXTW, part, (LPARAM)&text[0]);
    text.resize(length);
    return text;
}

std::vector<std::wstring> PlayerEntries(HWND player) {
    std::vector<std::wstring> paths;
    for (WPARAM i = 0;; ++i) {
        const TRACKENTRY *entry = (const TRACKENTRY *)SendMessageW(player, CM_GETTRACKENTRY, i, 0);
        if (!entry)
            return paths;
        paths.push_back(entry->Path);
    }
}

LONG PlayerTrackNo(HWND player) {
    return (LONG)SendMessageW(player, CM_GETTRACKNO, 0, 0);
}

// The module's reads of titles and lengths open decoding streams, which are
// never played; the player's opens are the others.
static std::vector<std::string> PlayerOpens(const std::wstring &folder, const std::string &prefix) {
    const unsigned long decode = 0x200000;
    std::vector<std::string> opens;
    for (const std::string &line : LogLinesStarting(ReadLog(folder, L"bass-calls.log"), prefix)) {
        size_t flags = line.rfind(",0x");
        if (flags != std::string::npos && !(strtoul(line.c_str() + flags + 3, NULL, 16) & decode))
            opens.push_back(line);
    }
    return opens;
}

std::vector<std::wstring> OpenedPaths() {
    std::vector<std::wstring> paths;
    for (const std::string &line : PlayerOpens(TestFolder(), "BASS_StreamCreateFile(")) {
        // BASS_StreamCreateFile(mem,path,offset,length,flags)=handle
        size_t start = line.find(',') + 1;
        size_t end = line.rfind(')');
        for (int commas = 0; commas < 3 && end != std::string::npos; ++commas)
            end = line.rfind(',', end - 1);
        std::string utf8 = line.substr(start, end - start);
        int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), (int)utf8.size(), NULL, 0);
        std::wstring path(length, L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), (int)utf8.size(), &path[0], length);
        paths.push_back(path);
    }
    return paths;
}

std::wstring RealPlayerFolder(const std::string &playlist) {
    std::wstring folder = PlayerFolder(L"app");
    for (const wchar_t *file : {L"tonquil.dll", L"bass.dll"})
        EXPECT_TRUE(CopyInto(TestFolder() + file, folder + file));
    EXPECT_TRUE(WriteBytes(folder + L"tonquil.m3u", playlist));
    ResetLog(folder, L"bass-calls.log");
    return folder;
}

size_t WaitForOpen(const std::wstring &folder, const std::wstring &path) {
    std::string opened = "BASS_StreamCreateFile(0," + Utf8(path) + ",";
    WaitUntil([&] { return !PlayerOpens(folder, opened).empty(); }, 10000);
    return PlayerOpens(folder, opened).size();
}

static bool MarkerFired;

static void CALLBACK MarkTime(HWND, UINT, UINT_PTR, DWORD) {
    MarkerFired = true;
}

// Until a marker timer of ms has fired, then once more: every timer due
// before it has fired by then, however late a loaded machine runs the queue.
void PumpFor(DWORD ms) {
    MarkerFired = false;
    UINT_PTR marker = SetTimer(NULL, 0, ms, MarkTime);
    if (marker)
        WaitUntil([] { return MarkerFired; }, 30000, true);
    KillTimer(NULL, marker);
    EXPECT_TRUE(MarkerFired) << "the marker timer did not fire";
    PumpMessages();
}

bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs) {
    return WaitUntil(done, timeoutMs, true);
}

std::wstring WindowText(HWND control) {
    wchar_t text[256] = L"";
    GetWindowTextW(control, text, 256);
    return text;
}

void HoldControlKey(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

HDROP MakeDrop(const std::vector<std::wstring> &paths, POINT point) {
    size_t characters = 1;
    for (const std::wstring &path : paths)
        characters += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = point;
    drop->fWide = TRUE;
    wchar_t *names = (wchar_t *)(drop + 1);
    for (const std::wstring &path : paths) {
        lstrcpyW(names, path.c_str());
        names += path.size() + 1;
    }
    GlobalUnlock(memory);
    return (HDROP)memory;
}

void **ModuleHook(const char *name) {
    HMODULE module = GetModuleHandleW(L"tonquil.dll");
    return module ? (void **)(void *)GetProcAddress(module, name) : NULL;
}

std::vector<std::wstring> Questions;
int Answer;

int WINAPI AnswerQuestion(HWND, LPCWSTR text, LPCWSTR, UINT type) {
    Questions.push_back(text);
    return (type & MB_TYPEMASK) == MB_YESNO ? Answer : IDCANCEL;
}

std::wstring Ansi(const std::string &bytes) {
    int length = MultiByteToWideChar(CP_ACP, 0, bytes.c_str(), (int)bytes.size(), NULL, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.c_str(), (int)bytes.size(), &text[0], length);
    return text;
}

std::string AnsiBytes(const std::wstring &text) {
    int length =
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string bytes(length, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), &bytes[0], length, NULL, NULL);
    return bytes;
}

bool Contains(const std::wstring &text, const std::wstring &part) {
    return text.find(part) != std::wstring::npos;
}
