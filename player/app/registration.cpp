#include "player/app/registration.h"

#include <shlwapi.h>

#include "player/playlist/playlist.h"

// Room for the executable's path, quoted, with the verb's arguments.
#define COMMAND_ROOM (MAX_PATH + 32)

static const WCHAR *const PlaylistTypes[] = {L".m3u", L".m3u8"};

static int SetText(HKEY root, const WCHAR *subKey, const WCHAR *name, const WCHAR *text) {
    HKEY key;
    if (RegCreateKeyExW(root, subKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        return 0;
    DWORD bytes = (DWORD)(lstrlenW(text) + 1) * sizeof(WCHAR);
    int done = RegSetValueExW(key, name, 0, REG_SZ, (const BYTE *)text, bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    return done;
}

static int WriteSupportedTypes(HKEY application) {
    int done = 1;
    for (int i = 0; PlayableExtension(i); ++i)
        done &= SetText(application, L"SupportedTypes", PlayableExtension(i), L"");
    for (const WCHAR *type : PlaylistTypes)
        done &= SetText(application, L"SupportedTypes", type, L"");
    return done;
}

// "C:\...\tonquil.exe" followed by the verb's arguments.
static int BuildVerbCommand(const WCHAR *arguments, WCHAR *command) {
    WCHAR program[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    wsprintfW(command, L"\"%s\" %s", program, arguments);
    return 1;
}

static int WriteVerb(HKEY application, const WCHAR *verb, const WCHAR *label,
                     const WCHAR *arguments) {
    WCHAR command[COMMAND_ROOM], verbKey[64], commandKey[64];
    if (!BuildVerbCommand(arguments, command))
        return 0;
    wsprintfW(verbKey, L"shell\\%s", verb);
    wsprintfW(commandKey, L"shell\\%s\\command", verb);
    return SetText(application, verbKey, NULL, label) &
           SetText(application, commandKey, NULL, command);
}

int RegisterWithShell() {
    HKEY application;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, REGISTRATION_KEY, 0, NULL, 0, KEY_CREATE_SUB_KEY, NULL,
                        &application, NULL) != ERROR_SUCCESS)
        return 0;
    int done = WriteSupportedTypes(application) &
               WriteVerb(application, L"open", L"Tonquil で再生(&P)", L"\"%1\"") &
               WriteVerb(application, L"enqueue", L"Tonquil に追加(&E)", L"/add \"%1\"");
    RegCloseKey(application);
    return done;
}

int UnregisterFromShell() {
    LSTATUS status = SHDeleteKeyW(HKEY_CURRENT_USER, REGISTRATION_KEY);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
