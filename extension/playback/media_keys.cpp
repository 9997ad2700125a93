#include "extension/playback/media_keys.h"

#include "extension/playback/transport.h"
#include "tonquil_extension.h"
#include "extension/window/resource.h"
#include "extension/window/status_bar.h"
#include "extension/common/texts.h"

#define FIRST_HOT_KEY_ID 1

struct MEDIA_KEY {
    UINT Key;
    UINT Name;
};

static const MEDIA_KEY MediaKeys[] = {
    {VK_MEDIA_PLAY_PAUSE, IDS_KEY_PLAYPAUSE},
    {VK_MEDIA_NEXT_TRACK, IDS_KEY_NEXT},
    {VK_MEDIA_PREV_TRACK, IDS_KEY_PREV},
    {VK_MEDIA_STOP, IDS_KEY_STOP},
};

#define MEDIA_KEY_COUNT ((int)(sizeof MediaKeys / sizeof MediaKeys[0]))

static int Registered[MEDIA_KEY_COUNT];

void RegisterMediaKeys(HWND window) {
    WCHAR taken[TEXT_SIZE] = L"";
    for (int i = 0; i < MEDIA_KEY_COUNT; ++i) {
        Registered[i] = RegisterHotKey(window, FIRST_HOT_KEY_ID + i, 0, MediaKeys[i].Key) != 0;
        if (Registered[i])
            continue;
        WCHAR name[TEXT_SIZE];
        LoadText(MediaKeys[i].Name, name, TEXT_SIZE);
        if (taken[0])
            lstrcatW(taken, L", ");
        lstrcatW(taken, name);
    }
    if (taken[0]) {
        WCHAR text[TEXT_SIZE];
        FormatText(text, IDS_KEYS_TAKEN, taken);
        ShowStatus(text);
    }
}

void UnregisterMediaKeys(HWND window) {
    for (int i = 0; i < MEDIA_KEY_COUNT; ++i) {
        if (Registered[i])
            UnregisterHotKey(window, FIRST_HOT_KEY_ID + i);
        Registered[i] = 0;
    }
}

void OnMediaKey(WPARAM id) {
    if (id < FIRST_HOT_KEY_ID || id >= (WPARAM)(FIRST_HOT_KEY_ID + MEDIA_KEY_COUNT))
        return;
    switch (MediaKeys[id - FIRST_HOT_KEY_ID].Key) {
    case VK_MEDIA_PLAY_PAUSE:
        TogglePlayPause();
        break;
    case VK_MEDIA_NEXT_TRACK:
        RunTransport(CM_PLAYNEXT);
        break;
    case VK_MEDIA_PREV_TRACK:
        RunTransport(CM_PLAYPREV);
        break;
    case VK_MEDIA_STOP:
        RunTransport(CM_STOP);
        break;
    }
}
