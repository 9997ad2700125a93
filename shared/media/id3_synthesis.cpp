#include "media/id3_synthesis.h"

#include <string.h>

namespace {

#define UTF8_ENCODING 3
// Longer names are cut: a tag of this kind only feeds a balloon, and a
// syncsafe size holds 28 bits.
#define MAX_TEXT 4096
#define SYNCSAFE_SIZE 4

std::string Syncsafe(size_t value) {
    std::string bytes(SYNCSAFE_SIZE, '\0');
    for (int i = SYNCSAFE_SIZE - 1; i >= 0; --i, value >>= 7)
        bytes[i] = (char)(value & 0x7F);
    return bytes;
}

// Cuts at MAX_TEXT bytes without splitting a UTF-8 sequence.
std::string CutText(const char *text) {
    std::string value(text, strnlen(text, MAX_TEXT + 1));
    if (value.size() > MAX_TEXT) {
        size_t end = MAX_TEXT;
        while (end > 0 && ((unsigned char)value[end] & 0xC0) == 0x80)
            --end;
        value.resize(end);
    }
    return value;
}

void AddTextFrame(const char *id, const char *text, std::string *frames) {
    if (!text || !text[0])
        return;
    std::string value = CutText(text);
    *frames += std::string(id, 4) + Syncsafe(value.size() + 1) + std::string(2, '\0');
    *frames += (char)UTF8_ENCODING;
    *frames += value;
}

} // namespace

bool BuildId3v2Tag(const char *artist, const char *title, std::string *tag) {
    std::string frames;
    AddTextFrame("TPE1", artist, &frames);
    AddTextFrame("TIT2", title, &frames);
    if (frames.empty())
        return false;
    // Version 2.4.0, no flags.
    *tag = std::string("ID3\x04\x00\x00", 6) + Syncsafe(frames.size()) + frames;
    return true;
}
