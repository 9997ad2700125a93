// The window's comparison before a save: the input is tonquil.m3u; the
// player's list holds every other path line of it, so both matched and
// unmatched lines are walked. The count is -1 or more.
#include "extension/common/player_link.h"
#include "extension/files/dropped_entries.h"
#include "tonquil_playlist_file.h"

#include <stdint.h>
#include <stdlib.h>
#include <vector>

static std::vector<TRACKENTRY> Entries;

LRESULT SendToPlayer(UINT message, WPARAM, LPARAM) {
    if (message != CM_GETTRACKENTRY)
        abort();
    return Entries.empty() ? 0 : (LRESULT)&Entries[0];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ShimPutFile(L"tonquil.m3u", data, size);
    WCHAR *text = ReadPlaylistText(L"tonquil.m3u");
    LONG lines = 0;
    WCHAR *cursor = text;
    for (WCHAR *line = TakePlaylistLine(&cursor); line; line = TakePlaylistLine(&cursor), ++lines)
        if (lines % 2 == 0) {
            TRACKENTRY entry = {};
            entry.Path = line;
            Entries.push_back(entry);
        }
    for (size_t i = 0; i + 1 < Entries.size(); ++i)
        Entries[i].Next = &Entries[i + 1];
    if (size && data[0] & 1)
        NoteRemovedByUser(L"removed.mp3");
    LONG dropped = CountDroppedEntries(L"tonquil.m3u");
    if (dropped < -1)
        abort();
    ForgetRemovedByUser();
    Entries.clear();
    HeapFree(GetProcessHeap(), 0, text);
    return 0;
}
