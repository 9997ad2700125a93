// Everything the module asks of the player goes through here: the control
// messages and commands of the published interface, nothing else.
//
// The module keeps no copy of the playlist. Rows are read from the player's
// own entries when they are drawn; to spare a walk from the start for every
// row, the entry read last is remembered and its neighbours reached through
// it. That entry may be freed by anything that changes the list, so it is
// forgotten whenever the list may have changed: after every message the
// module sends that is not a query, and around every message the module's
// windows handle and every call the player makes into it (the player's list
// can only change meanwhile through messages this thread takes from its
// queue, never in the middle of one handler).
#ifndef TONQUIL_EXTENSION_PLAYER_LINK_H
#define TONQUIL_EXTENSION_PLAYER_LINK_H

#include "tonquil_extension.h"

LRESULT SendToPlayer(UINT message, WPARAM wParam, LPARAM lParam);

// The entry at index, or NULL when there is none.
const TRACKENTRY *EntryAt(LONG index);
void ForgetCachedEntry();

// The identity of the whole list as it stands: its length and a hash of its
// entries (address and TrackId) in order. Two equal shapes mean the same
// entries at the same indices.
struct PLAYLIST_SHAPE {
    LONG Count;
    unsigned long long Hash;
};

PLAYLIST_SHAPE ReadPlaylistShape();
int SameShape(const PLAYLIST_SHAPE *a, const PLAYLIST_SHAPE *b);

#endif
