// A module in C and the player in C++ must see one TRACKENTRY.
#include <gtest/gtest.h>

#include "sdk_header_c.h"
#include "tonquil_extension.h"

TEST(SdkHeader, CAndCppSeeTheSameTrackEntry) {
    size_t size = 0, offsets[10] = {};
    TrackEntryLayoutInC(&size, offsets);
    const size_t cpp[10] = {
        offsetof(TRACKENTRY, Prev),          offsetof(TRACKENTRY, TrackId),
        offsetof(TRACKENTRY, Path),          offsetof(TRACKENTRY, Reserved1),
        offsetof(TRACKENTRY, Next),          offsetof(TRACKENTRY, ReservedText1),
        offsetof(TRACKENTRY, Reserved2),     offsetof(TRACKENTRY, ReservedText2),
        offsetof(TRACKENTRY, ReservedText3), offsetof(TRACKENTRY, Reserved3),
    };
    EXPECT_EQ(sizeof(TRACKENTRY), size);
    for (int slot = 0; slot < 10; ++slot)
        EXPECT_EQ(cpp[slot], offsets[slot]) << "slot " << slot + 1;
}
