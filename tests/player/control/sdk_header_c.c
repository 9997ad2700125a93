/* The published header as a module written in plain C89 includes it. */
#include "tonquil_extension.h"

#include "sdk_header_c.h"

void TrackEntryLayoutInC(size_t *size, size_t offsets[10]) {
    *size = sizeof(TRACKENTRY);
    offsets[0] = offsetof(TRACKENTRY, Prev);
    offsets[1] = offsetof(TRACKENTRY, TrackId);
    offsets[2] = offsetof(TRACKENTRY, Path);
    offsets[3] = offsetof(TRACKENTRY, Reserved1);
    offsets[4] = offsetof(TRACKENTRY, Next);
    offsets[5] = offsetof(TRACKENTRY, ReservedText1);
    offsets[6] = offsetof(TRACKENTRY, Reserved2);
    offsets[7] = offsetof(TRACKENTRY, ReservedText2);
    offsets[8] = offsetof(TRACKENTRY, ReservedText3);
    offsets[9] = offsetof(TRACKENTRY, Reserved3);
}
