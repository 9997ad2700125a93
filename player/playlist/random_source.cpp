#include "player/playlist/random_source.h"

#define MASK_28_BITS 0x0FFFFFFFu

DWORD RandomTable[RANDOM_TABLE_SIZE];
DWORD RandomState;

void SeedRandom(const SYSTEMTIME *localTime) {
    DWORD x = (DWORD)localTime->wHour * localTime->wDay * localTime->wMonth * localTime->wYear +
              localTime->wMilliseconds + localTime->wSecond + localTime->wMinute;
    for (int i = 0; i < RANDOM_TABLE_SIZE; ++i) {
        x = (x * 69069u + 3577u) & MASK_28_BITS;
        RandomTable[i] = x;
    }
    RandomState = x;
}

// The divisor is count - 1, so the last index is never drawn; a count of 0
// divides by 2^32 - 1 and may give any value, which the play routine's range
// test then replaces.
LONG DrawIndex(LONG count) {
    if (count == 1)
        return 0;
    DWORD state = (RandomState * 69069u + 328301u) & MASK_28_BITS;
    RandomState = state;
    DWORD mixed = RandomTable[state % RANDOM_TABLE_SIZE] * state;
    return (LONG)(mixed % ((DWORD)count - 1u));
}
