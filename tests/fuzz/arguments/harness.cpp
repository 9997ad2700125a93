// A command line split as the system splits it: whatever the text, the split
// fits the room its contract promises, and walking the arguments ends inside
// what was written.
#include "player/app/arguments.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    size_t characters = size / sizeof(WCHAR);
    WCHAR *line = (WCHAR *)malloc((characters + 1) * sizeof(WCHAR));
    if (!line)
        return 0;
    memcpy(line, data, characters * sizeof(WCHAR));
    line[characters] = 0;
    int room = lstrlenW(line) + 1;
    WCHAR *out = (WCHAR *)malloc(room * sizeof(WCHAR));
    int count = out ? SplitArguments(line, out) : 1;
    if (out) {
        if (count < 1)
            abort();
        const WCHAR *argument = out;
        for (int i = 0; i < count; ++i, argument = NextArgument(argument))
            if (argument < out || argument >= out + room)
                abort();
    }
    free(out);
    free(line);
    return 0;
}
