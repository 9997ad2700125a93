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

void PublishNames(const TrackNames &names, TQDECODER *decoder) {
    decoder->Artist = names.Artist.empty() ? NULL : names.Artist.c_str();
    decoder->Title = names.Title.empty() ? NULL : names.Title.c_str();
}

void TakeVorbisComment(const char *comment, size_t count, TrackNames *names) {
    TakeField(comment, count, "ARTIST", &names->Artist);
    TakeField(comment, count, "TITLE", &names->Title);
}

namespace {

// The little-endian length at at, which must leave room for itself; false
// when the list ends before it.
bool TakeLength(const unsigned char *list, size_t size, size_t *at, size_t *length) {
    if (size - *at < 4)
        return false;
    const unsigned char *bytes = list + *at;
    *length = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | ((size_t)bytes[3] << 24);
    *at += 4;
    return true;
}

} // namespace

bool TakeCommentList(const unsigned char *list, size_t size, TrackNames *names) {
    size_t at = 0, length, count;
    if (!TakeLength(list, size, &at, &length) || length > size - at)
        return false;
    at += length;
    if (!TakeLength(list, size, &at, &count))
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (!TakeLength(list, size, &at, &length) || length > size - at)
            return false;
        TakeVorbisComment((const char *)list + at, length, names);
        at += length;
    }
    return true;
}

bool CommentHeaderHolds(const std::vector<unsigned char> &packet) {
    TrackNames ignored;
    return packet.size() >= 7 && memcmp(packet.data(), "\x03vorbis", 7) == 0 &&
           TakeCommentList(packet.data() + 7, packet.size() - 7, &ignored);
}
