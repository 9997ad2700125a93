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
