// tonquil.m3u as the player and the window read it, in whatever encoding its
// first bytes announce: every line taken is a whole text inside the decoded
// one, and the marked reading gives a line wherever the plain one does.
#include "tonquil_playlist_file.h"

#include <stdint.h>
#include <stdlib.h>

static LONG CountLines(WCHAR *text) {
    LONG lines = 0;
    WCHAR *cursor = text;
    for (WCHAR *line = TakePlaylistLine(&cursor); line; line = TakePlaylistLine(&cursor))
        lstrlenW(line), ++lines;
    HeapFree(GetProcessHeap(), 0, text);
    return lines;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ShimPutFile(L"tonquil.m3u", data, size);
    WCHAR *plain = ReadPlaylistText(L"tonquil.m3u");
    WCHAR *marked = ReadPlaylistTextMarked(L"tonquil.m3u");
    if (!plain || !marked)
        abort(); // a file in memory always reads
    LONG plainLines = CountLines(plain), markedLines = CountLines(marked);
    if (markedLines < plainLines)
        abort();
    return 0;
}
