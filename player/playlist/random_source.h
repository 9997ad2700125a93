// The player's own random source: a 28-bit linear congruential generator
// mixed with a table filled once from the local time.
#ifndef TONQUIL_PLAYER_PLAYLIST_RANDOM_SOURCE_H
#define TONQUIL_PLAYER_PLAYLIST_RANDOM_SOURCE_H

#include <windows.h>

#define RANDOM_TABLE_SIZE 255

extern DWORD RandomTable[RANDOM_TABLE_SIZE];
extern DWORD RandomState;

void SeedRandom(const SYSTEMTIME *localTime);
// An index for a playlist of count entries (never count - 1 for count >= 2).
LONG DrawIndex(LONG count);

#endif
