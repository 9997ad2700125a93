// Loops that run inside the module's own code: the open dialog of the add
// button, worked from a second thread as a user would work it, and a move
// of the window; the player may be closed from inside either.
#include "module_window.h"

#include "player_window.h"
#include "test_support.h"
#include "player/control/extension_host.h"

namespace {

struct DialogSearch {
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
    wchar_t name[16];
    if (IsWindowVisible(window) && GetClassNameW(window, name, 16) &&
        lstrcmpW(name, L"#32770") == 0) {
        ((DialogSearch *)parameter)->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForDialog(DWORD thread) {
    for (int i = 0; i < 1500; ++i) {
        DialogSearch search = {NULL};
        EnumThreadWindows(thread, MatchDialog, (LPARAM)&search);
        if (search.found)
            return search.found;
        Sleep(20);
    }
    return NULL;
}

// The player closed from inside a loop of the module's code leaves the module
// loaded, holding a reference to itself. That reference is let go here, and
// the player's own once its message loop would have ended, so that the other
// tests find the module unloaded as usual.
void ExpectTheModuleKeptThenLetGo() {
    HMODULE kept = GetModuleHandleW(L"tonquil.dll");
    EXPECT_NE(nullptr, kept);
    if (kept)
        FreeLibrary(kept);
    FreeRetiredExtensionModule();
    EXPECT_EQ(nullptr, GetModuleHandleW(L"tonquil.dll"));
}

// What the second thread does once the dialog is up: go to a folder, pick
// names there and press Open, or close the player behind the dialog's back.
struct DialogWork {
    DWORD thread;
    HWND player;
    std::wstring folder;
    std::wstring names; // empty: close the player instead
    bool sawDialog;
};

// Types into the file name box and presses Open.
void TypeAndOpen(HWND dialog, const std::wstring &text) {
    // The file name box is an edit control inside a combo box.
    HWND box = GetDlgItem(dialog, 0x47C);
    HWND edit = FindWindowExW(FindWindowExW(box, NULL, L"ComboBox", NULL), NULL, L"Edit", NULL);
    if (!edit)
        edit = FindWindowExW(box, NULL, L"Edit", NULL);
    SendMessageW(edit, WM_SETTEXT, 0, (LPARAM)text.c_str());
    DWORD_PTR result;
    SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        (LPARAM)GetDlgItem(dialog, IDOK), SMTO_NORMAL, 5000, &result);
}

// Never leaves the test hanging in a dialog, or in a message box of one.
void CancelWhatIsLeft(DWORD thread) {
    for (int i = 0; i < 100; ++i) {
        DialogSearch search = {NULL};
        EnumThreadWindows(thread, MatchDialog, (LPARAM)&search);
        if (!search.found)
            return;
        PostMessageW(search.found, WM_COMMAND, IDCANCEL, 0);
        Sleep(50);
    }
}

DWORD WINAPI WorkDialog(void *parameter) {
    DialogWork *work = (DialogWork *)parameter;
    HWND dialog = WaitForDialog(work->thread);
    work->sawDialog = dialog != NULL;
    if (!dialog)
        return 0;
    if (work->names.empty()) {
        PostMessageW(work->player, WM_CLOSE, 0, 0);
        return 0;
    }
    TypeAndOpen(dialog, work->folder);
    TypeAndOpen(dialog, work->names);
    for (int i = 0; i < 100 && IsWindow(dialog); ++i)
        Sleep(20);
    CancelWhatIsLeft(work->thread);
    return 0;
}

// Presses the add button with a helper working the dialog; gives whether the
// helper found one.
bool AddThroughDialog(HWND window, DialogWork work) {
    work.thread = GetCurrentThreadId();
    work.sawDialog = false;
    HANDLE helper = CreateThread(NULL, 0, WorkDialog, &work, 0, NULL);
    SendMessageW(Control(window, IDC_ADD), BM_CLICK, 0, 0);
    WaitForSingleObject(helper, 15000);
    CloseHandle(helper);
    PumpMessages();
    return work.sawDialog;
}

} // namespace

TEST_F(ModuleWindow, FilesChosenInTheOpenDialogAreAppended) {
    std::vector<std::wstring> tracks = MakeTracks(4);
    WritePlaylist({tracks[0]});
    WriteBytes(music + L"notes.txt", "text");
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);

    DialogWork work = {};
    work.player = player;
    work.folder = music;
    work.names = L"\"track03.mp3\" \"track04.mp3\" \"notes.txt\"";
    ASSERT_TRUE(AddThroughDialog(window, work));
    EXPECT_EQ((std::vector<std::wstring>{tracks[0], tracks[2], tracks[3]}), PlayerEntries(player));
    EXPECT_TRUE(Contains(StatusText(window, 0), L"2 曲を追加しました。"))
        << Utf8(StatusText(window, 0));
    EXPECT_TRUE(Contains(StatusText(window, 0), L"1 件は追加できません: notes.txt"))
        << Utf8(StatusText(window, 0));
}

TEST_F(ModuleWindow, ThePlayerClosedWhileTheOpenDialogRunsLeavesTheModuleCodeInPlace) {
    WritePlaylist(MakeTracks(1));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);

    DialogWork work = {};
    work.player = player;
    ASSERT_TRUE(AddThroughDialog(window, work));
    // The player unloaded the module from inside the dialog's loop; the code
    // that ran the dialog was returned to, and only then is nothing left.
    EXPECT_FALSE(IsWindow(player));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, FindModuleWindow());
    ExpectTheModuleKeptThenLetGo();
}

namespace {

struct LateClose {
    HWND player;
    HWND window;
    bool moving; // the close came while the move's loop ran
};

bool InMoveLoop(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info) &&
           (info.flags & GUI_INMOVESIZE);
}

DWORD WINAPI CloseDuringMove(void *parameter) {
    LateClose *late = (LateClose *)parameter;
    for (int i = 0; i < 500 && !InMoveLoop(late->window); ++i)
        Sleep(20);
    late->moving = InMoveLoop(late->window);
    PostMessageW(late->player, WM_CLOSE, 0, 0);
    // Should the loop not end with its window, Escape ends it.
    for (int i = 0; i < 100 && IsWindow(late->window); ++i)
        Sleep(20);
    if (IsWindow(late->window))
        PostMessageW(late->window, WM_KEYDOWN, VK_ESCAPE, 0);
    return 0;
}

} // namespace

TEST_F(ModuleWindow, ThePlayerClosedWhileTheWindowIsMovedLeavesTheModuleCodeInPlace) {
    WritePlaylist(MakeTracks(1));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    LateClose late = {player, window, false};
    HANDLE helper = CreateThread(NULL, 0, CloseDuringMove, &late, 0, NULL);
    // The keyboard move: the system's own loop runs inside the window's
    // procedure until the move ends.
    SendMessageW(window, WM_SYSCOMMAND, SC_MOVE, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(helper, 20000));
    CloseHandle(helper);
    EXPECT_TRUE(late.moving);
    PumpMessages();
    EXPECT_FALSE(IsWindow(player));
    EXPECT_FALSE(IsWindow(window));
    ExpectTheModuleKeptThenLetGo();
}
