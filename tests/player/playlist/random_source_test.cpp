#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "player/playlist/random_source.h"
#include "playlist_fixture.h"

namespace {

// The generator worked out in exact 64-bit arithmetic, reducing only where
// the generator's definition does, to check the 32-bit wrap-around code.
struct ModelRandom {
    uint32_t table[255];
    uint32_t state;
};

const uint64_t Modulus28 = uint64_t(1) << 28;

ModelRandom ModelSeed(const SYSTEMTIME &time) {
    uint64_t product = uint64_t(time.wHour) * time.wDay * time.wMonth * time.wYear;
    uint64_t x = (product + time.wMilliseconds + time.wSecond + time.wMinute) % (uint64_t(1) << 32);
    ModelRandom model;
    for (int i = 0; i < 255; ++i) {
        x = (x * 69069 + 3577) % Modulus28;
        model.table[i] = (uint32_t)x;
    }
    model.state = (uint32_t)x;
    return model;
}

int32_t ModelDraw(ModelRandom &model, int32_t count) {
    if (count == 1)
        return 0;
    uint64_t s = (uint64_t(model.state) * 69069 + 328301) % Modulus28;
    model.state = (uint32_t)s;
    uint64_t mixed = (uint64_t(model.table[s % 255]) * s) % (uint64_t(1) << 32);
    uint64_t divisor = (uint64_t(uint32_t(count)) + 0xFFFFFFFFu) % (uint64_t(1) << 32);
    return (int32_t)(uint32_t)(mixed % divisor);
}

} // namespace

// Figures worked out by hand for the local time 2005-01-02 03:04:05.006.
TEST(RandomSource, KnownLocalTimeGivesKnownTableAndDraw) {
    SYSTEMTIME time = LocalTime(2005, 1, 2, 3, 4, 5, 6);
    time.wDayOfWeek = 0;
    SeedRandom(&time);
    EXPECT_EQ(26633314u, RandomTable[0]);
    EXPECT_EQ(216623731u, RandomTable[1]);
    EXPECT_EQ(94045284u, RandomTable[254]);
    EXPECT_EQ(94045284u, RandomState);
    EXPECT_EQ(194158082u, RandomTable[224]);

    EXPECT_EQ(8, DrawIndex(10));
    EXPECT_EQ(12884609u, RandomState);

    // The day of the week plays no part in the seed.
    time.wDayOfWeek = 5;
    SeedRandom(&time);
    EXPECT_EQ(94045284u, RandomState);
}

TEST(RandomSource, SeedAndDrawsMatchExactArithmetic) {
    const SYSTEMTIME times[] = {
        LocalTime(2005, 1, 2, 3, 4, 5, 6),
        LocalTime(1601, 1, 1, 0, 0, 0, 0),
        LocalTime(9999, 12, 31, 23, 59, 59, 999),
        LocalTime(2024, 2, 29, 12, 30, 45, 500),
        LocalTime(65535, 65535, 65535, 65535, 65535, 65535, 65535),
    };
    const int32_t counts[] = {0, 1, 2, 3, 10, 255, 256, 65536, INT_MAX, -1, -2, INT_MIN};
    for (const SYSTEMTIME &time : times) {
        SeedRandom(&time);
        ModelRandom model = ModelSeed(time);
        for (int i = 0; i < RANDOM_TABLE_SIZE; ++i)
            ASSERT_EQ(model.table[i], RandomTable[i]) << "entry " << i;
        ASSERT_EQ(model.state, RandomState);
        for (int round = 0; round < 200; ++round)
            for (int32_t count : counts) {
                ASSERT_EQ(ModelDraw(model, count), DrawIndex(count)) << "count " << count;
                ASSERT_EQ(model.state, RandomState);
                ASSERT_LT(RandomState, 1u << 28);
            }
    }
}

TEST(RandomSource, DrawIndexEdges) {
    SYSTEMTIME time = LocalTime(2010, 6, 15, 18, 20, 33, 421);
    SeedRandom(&time);

    DWORD before = RandomState;
    EXPECT_EQ(0, DrawIndex(1));
    EXPECT_EQ(before, RandomState);

    for (int i = 0; i < 100; ++i) {
        before = RandomState;
        EXPECT_EQ(0, DrawIndex(2));
        EXPECT_NE(before, RandomState);
    }

    // The last index is never drawn, and every other one comes up.
    for (LONG count = 3; count <= 12; ++count) {
        std::vector<int> seen(count, 0);
        for (int i = 0; i < 2000; ++i) {
            LONG index = DrawIndex(count);
            ASSERT_GE(index, 0);
            ASSERT_LT(index, count - 1);
            ++seen[index];
        }
        for (LONG index = 0; index < count - 1; ++index)
            EXPECT_GT(seen[index], 0) << "count " << count << " index " << index;
    }
}
