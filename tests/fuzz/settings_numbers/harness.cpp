// The numbers of tonquil.ini: the input (UTF-16) stands for the text of every
// key, read as the player reads its settings at start, each checked by its
// rule before it is stored.
#include "player/settings/settings.h"

#include <stdint.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<WCHAR> text(size / 2 + 1);
    memcpy(text.data(), data, size / 2 * 2);
    text[size / 2] = 0;
    ShimProfileValue() = text.data();
    ReadSettings(NULL);
    ShimProfileValue() = NULL;
    return 0;
}
