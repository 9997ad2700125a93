#include "player/app/command_paths.h"

#include "player/app/arguments.h"
#include "player/app/options.h"
#include "player/app/path_record.h"
#include "tonquil_heap.h"

#define FULL_PATH_ROOM (PATH_RECORD_LONGEST_PATH + 1)

static const WCHAR *const OpeningSwitches[] = {L"/add", L"/register", L"/unregister"};

int IsSwitch(const WCHAR *argument) {
    if (IsOptionName(argument))
        return 1;
    for (const WCHAR *name : OpeningSwitches)
        if (lstrcmpiW(argument, name) == 0)
            return 1;
    return 0;
}

// Growing room for the paths, doubled as it fills.
struct PATH_TEXT {
    WCHAR *Text;
    SIZE_T Used;
    SIZE_T Room;
};

static int AppendText(PATH_TEXT *text, const WCHAR *path, SIZE_T length) {
    if (text->Room - text->Used < length + 1) {
        SIZE_T room = text->Room ? text->Room : 4096;
        while (room - text->Used < length + 1)
            room *= 2;
        WCHAR *larger = (WCHAR *)HeapZeroAlloc(room * sizeof(WCHAR));
        if (!larger)
            return 0;
        if (text->Text)
            CopyMemory(larger, text->Text, text->Used * sizeof(WCHAR));
        HeapRelease(text->Text);
        text->Text = larger;
        text->Room = room;
    }
    CopyMemory(text->Text + text->Used, path, (length + 1) * sizeof(WCHAR));
    text->Used += length + 1;
    return 1;
}

static void NoteSwitch(const WCHAR *argument, COMMAND_PATHS *paths) {
    if (lstrcmpiW(argument, L"/add") == 0)
        paths->AddOnly = 1;
    else if (lstrcmpiW(argument, L"/register") == 0)
        paths->Registration = REGISTRATION_ADD;
    else if (lstrcmpiW(argument, L"/unregister") == 0)
        paths->Registration = REGISTRATION_REMOVE;
}

// Gives 0 only when the heap is exhausted.
static int AddFullPath(const WCHAR *argument, WCHAR *full, PATH_TEXT *text, COMMAND_PATHS *paths) {
    if (!argument[0] || paths->Count >= PATH_RECORD_MOST_PATHS)
        return 1;
    DWORD length = GetFullPathNameW(argument, FULL_PATH_ROOM, full, NULL);
    if (length == 0 || length >= FULL_PATH_ROOM)
        return 1;
    if (!AppendText(text, full, length))
        return 0;
    ++paths->Count;
    return 1;
}

static int ReadArguments(const WCHAR *arguments, int count, COMMAND_PATHS *paths) {
    WCHAR *full = (WCHAR *)HeapZeroAlloc(FULL_PATH_ROOM * sizeof(WCHAR));
    PATH_TEXT text = {};
    int done = full != NULL;
    const WCHAR *argument = NextArgument(arguments); // past the program's name
    for (int i = 1; done && i < count; ++i, argument = NextArgument(argument)) {
        if (IsSwitch(argument))
            NoteSwitch(argument, paths);
        else
            done = AddFullPath(argument, full, &text, paths);
    }
    HeapRelease(full);
    paths->Paths = text.Text;
    return done;
}

int ReadCommandPaths(const WCHAR *line, COMMAND_PATHS *paths) {
    *paths = {};
    if (!line)
        return 1;
    WCHAR *arguments = (WCHAR *)HeapZeroAlloc(((SIZE_T)lstrlenW(line) + 1) * sizeof(WCHAR));
    if (!arguments)
        return 0;
    int count = SplitArguments(line, arguments);
    int done = ReadArguments(arguments, count, paths);
    HeapRelease(arguments);
    if (!done)
        FreeCommandPaths(paths);
    return done;
}

void FreeCommandPaths(COMMAND_PATHS *paths) {
    HeapRelease(paths->Paths);
    *paths = {};
}
