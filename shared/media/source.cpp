#include "media/source.h"

#include <new>
#include <string.h>

namespace {

// What a source's Context points to: the window and where its bytes live.
struct Window {
    DWORD Size;
    HANDLE File; // NULL for memory
    DWORD Base;  // offset of the window in the file
    const BYTE *Memory;
};

// Every read stays inside the window, whatever a decoder asks for.
DWORD ClampCount(const Window *window, DWORD offset, DWORD count) {
    if (offset >= window->Size)
        return 0;
    return count < window->Size - offset ? count : window->Size - offset;
}

DWORD CALLBACK ReadFileWindow(void *context, DWORD offset, void *buffer, DWORD count) {
    Window *window = (Window *)context;
    count = ClampCount(window, offset, count);
    if (!count)
        return 0;
    // The position goes with the read: a plug-in's decoder may read ahead on
    // threads of its own, reading the same source at the same time, and a
    // separate seek could land another's read here.
    ULONGLONG at = (ULONGLONG)window->Base + offset;
    OVERLAPPED position = {};
    position.Offset = (DWORD)at;
    position.OffsetHigh = (DWORD)(at >> 32);
    DWORD got = 0;
    return ReadFile(window->File, buffer, count, &got, &position) ? got : 0;
}

DWORD CALLBACK ReadMemoryWindow(void *context, DWORD offset, void *buffer, DWORD count) {
    Window *window = (Window *)context;
    count = ClampCount(window, offset, count);
    if (count)
        memcpy(buffer, window->Memory + offset, count);
    return count;
}

// Takes over the window's file: it is closed when the source cannot be made.
bool Publish(const Window &window, TQSOURCE *source) {
    Window *owned = new (std::nothrow) Window(window);
    if (!owned) {
        if (window.File)
            CloseHandle(window.File);
        return false;
    }
    source->Context = owned;
    source->Size = owned->Size;
    source->Read = owned->File ? ReadFileWindow : ReadMemoryWindow;
    return true;
}

} // namespace

bool OpenFileSource(const WCHAR *path, DWORD offset, DWORD length, TQSOURCE *source) {
    if (!path)
        return false;
    // A tagger may rewrite, replace or remove the file while it plays: the
    // open handle keeps what it can still read, and reads past the file's
    // new end come back short, which ends the stream there.
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    // Offsets and lengths of this interface are 32-bit: larger files are refused.
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || offset > size ||
        length > size - offset) {
        CloseHandle(file);
        return false;
    }
    Window window = {length ? length : size - offset, file, offset, NULL};
    return Publish(window, source);
}

bool OpenMemorySource(const void *memory, DWORD length, TQSOURCE *source) {
    if (!memory)
        return false;
    Window window = {length, NULL, 0, (const BYTE *)memory};
    return Publish(window, source);
}

void CloseSource(TQSOURCE *source) {
    Window *window = (Window *)source->Context;
    if (!window)
        return;
    if (window->File)
        CloseHandle(window->File);
    delete window;
    source->Context = NULL;
}

bool ReadExactly(const TQSOURCE *source, DWORD offset, void *buffer, DWORD count) {
    return source->Read(source->Context, offset, buffer, count) == count;
}
