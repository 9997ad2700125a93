// The shuffle cycle: TrackIds still to come (PendingList) and already played
// in this cycle, most recent first (PlayedList).
#ifndef TONQUIL_PLAYER_PLAYLIST_SHUFFLE_H
#define TONQUIL_PLAYER_PLAYLIST_SHUFFLE_H

#include <windows.h>

struct SHUFFLENODE {
    LONG TrackId;
    SHUFFLENODE *Next;
    SHUFFLENODE *Prev;
};

extern SHUFFLENODE *PendingList; // sentinels; NULL before the window exists
extern SHUFFLENODE *PlayedList;

int CreateShuffleHeads();
void FreeShuffleHeads();

void BuildShuffle();
LONG NextShuffled();
LONG PrevShuffled();
int MarkPlayed(LONG trackId);
void ClearShuffle();

#endif
