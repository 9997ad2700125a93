#include "test_support.h"

#include "player_window.h"

// Under Wine the build's Unix paths are seen on drive Z:; a native Windows
// build already has drive paths.
std::wstring FromUnixPath(const char *unixPath) {
    std::wstring path = unixPath[0] == '/' ? L"Z:" : L"";
    for (const char *c = unixPath; *c; ++c)
        path += (*c == '/') ? L'\\' : (WCHAR)(unsigned char)*c;
    if (path.back() != L'\\')
        path += L'\\';
    return path;
}

std::wstring TestFolder() {
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring BinFolder() {
    return FromUnixPath(TONQUIL_BIN_DIR_UNIX);
}

std::wstring DoublesFolder() {
    return FromUnixPath(TONQUIL_DOUBLES_DIR_UNIX);
}

bool WriteBytes(const std::wstring &path, const std::string &bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string ReadBytes(const std::wstring &path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    DWORD size = GetFileSize(file, NULL);
    std::string bytes(size == INVALID_FILE_SIZE ? 0 : size, '\0');
    DWORD got = 0;
    if (!bytes.empty())
        ReadFile(file, &bytes[0], (DWORD)bytes.size(), &got, NULL);
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

std::string AsOtherMachineImage(std::string image) {
    if (image.size() < 0x40)
        return image;
    DWORD header = *(const DWORD *)&image[0x3C];
    WORD other = sizeof(void *) == 4 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
    if (header + 6 <= image.size())
        CopyMemory(&image[header + 4], &other, sizeof other);
    return image;
}

void DeletePath(const std::wstring &path) {
    if (!DeleteFileW(path.c_str()))
        RemoveDirectoryW(path.c_str());
}

bool CopyInto(const std::wstring &from, const std::wstring &to) {
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}

bool CopyEngineInto(const std::wstring &folder) {
    return CopyInto(BinFolder() + L"bass.dll", folder + L"bass.dll") &&
           CopyInto(BinFolder() + L"tonquil_media.dll", folder + L"tonquil_media.dll");
}

std::wstring MakeScratchFolder(const std::wstring &name) {
    std::wstring folder = TestFolder() + name + L"\\";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW((folder + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    CreateDirectoryW(folder.c_str(), NULL);
    return folder;
}

void ResetLog(const std::wstring &folder, const std::wstring &name) {
    WriteBytes(folder + name, std::string());
}

std::vector<std::string> ReadLog(const std::wstring &folder, const std::wstring &name) {
    std::string bytes = ReadBytes(folder + name);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> LogLinesStarting(const std::vector<std::string> &log,
                                          const std::string &prefix) {
    std::vector<std::string> lines;
    for (const std::string &line : log)
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line);
    return lines;
}

HANDLE StartProcess(const std::wstring &exe, const std::wstring &arguments) {
    std::wstring line = L"\"" + exe + L"\"";
    if (!arguments.empty())
        line += L" " + arguments;
    std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup,
                        &process))
        return NULL;
    CloseHandle(process.hThread);
    return process.hProcess;
}

int RunAndWait(const std::wstring &exe, const std::wstring &arguments, DWORD timeoutMs) {
    HANDLE process = StartProcess(exe, arguments);
    if (!process)
        return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        TerminateProcess(process, 1);
    CloseHandle(process);
    return (int)code;
}

namespace {

struct WindowSearch {
    const WCHAR *className;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    WindowSearch *search = (WindowSearch *)parameter;
    WCHAR name[256];
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && GetClassNameW(window, name, 256) &&
        lstrcmpW(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForWindow(const WCHAR *className, DWORD processId, DWORD timeoutMs) {
    WindowSearch search = {className, processId, NULL};
    WaitUntil(
        [&] {
            EnumWindows(MatchWindow, (LPARAM)&search);
            return search.found != NULL;
        },
        timeoutMs);
    return search.found;
}

// Most conditions are set by another thread or process that cannot signal
// this one, so they are looked at again after each slice; a message for
// this thread ends the slice early when it is to be run.
static const DWORD WAIT_SLICE_MS = 10;

bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs, bool pump) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        DWORD passed = GetTickCount() - start;
        if (passed >= timeoutMs)
            return false;
        DWORD slice = timeoutMs - passed < WAIT_SLICE_MS ? timeoutMs - passed : WAIT_SLICE_MS;
        MsgWaitForMultipleObjects(0, NULL, FALSE, slice, pump ? QS_ALLINPUT : 0);
        if (pump)
            PumpMessages();
    }
}

std::string Utf8(const std::wstring &text) {
    int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string out(bytes, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], bytes, NULL, NULL);
    return out;
}

std::string ClientValue(const std::wstring &ini, const wchar_t *key) {
    wchar_t value[260];
    GetPrivateProfileStringW(L"Client", key, L"absent", value, 260, ini.c_str());
    return Utf8(value);
}
