#include "engine/vorbis_comments.h"

#include <string.h>

namespace {

// Field names are ASCII and compared without regard to case.
bool NameIs(const char *comment, size_t count, const char *name) {
    size_t length = strlen(name);
    if (count <= length || comment[length] != '=')
        return false;
    for (size_t i = 0; i < length; ++i) {
        char c = comment[i];
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
        if (c != name[i])
            return false;
    }
    return true;
}

void TakeField(const char *comment, size_t count, const char *name, std::string *value) {
    size_t skip = strlen(name) + 1;
    if (value->empty() && NameIs(comment, count, name))
        value->assign(comment + skip, count - skip);
}

} // namespace

void TakeVorbisComment(const char *comment, size_t count, TrackNames *names) {
    TakeField(comment, count, "ARTIST", &names->Artist);
    TakeField(comment, count, "TITLE", &names->Title);
}

namespace {

// The little-endian length at at, which must leave room for itself; false
// when the packet ends before it or what it counts.
bool TakeLength(const std::vector<unsigned char> &packet, size_t *at, size_t *length) {
    if (packet.size() - *at < 4)
        return false;
    const unsigned char *bytes = &packet[*at];
    *length = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | ((size_t)bytes[3] << 24);
    *at += 4;
    return true;
}

} // namespace

bool CommentHeaderHolds(const std::vector<unsigned char> &packet) {
    size_t at = 7, length, count;
    if (packet.size() < at || memcmp(packet.data(), "\x03vorbis", 7) != 0 ||
        !TakeLength(packet, &at, &length) || length > packet.size() - at)
        return false;
    at += length;
    if (!TakeLength(packet, &at, &count))
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (!TakeLength(packet, &at, &length) || length > packet.size() - at)
            return false;
        at += length;
    }
    return true;
}
