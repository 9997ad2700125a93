// Rows removed from the player's list from the window. TrackNo stays on the
// entry it named, which the player itself leaves at its old index when
// entries before it go.
#ifndef TONQUIL_EXTENSION_ROW_REMOVAL_H
#define TONQUIL_EXTENSION_ROW_REMOVAL_H

#include <windows.h>

struct ROW_RUN {
    LONG Start;
    LONG Length;
};

// Removes the runs of rows (ascending, apart) from the last to the first;
// gives how many entries went.
LONG RemoveRuns(const ROW_RUN *runs, int count);

#endif
