// The program's one random source and the wall shuffle driven by it.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "carving.h"
#include "random_source.h"
#include "stored_shuffle.h"

namespace {

std::vector<int> shuffled(int n, unsigned seed)
{
    seedRandomSource(seed);
    std::vector<int> order(static_cast<std::size_t>(n), -1);
    EXPECT_EQ(shuffleIndices(order.data(), n), 0);
    return order;
}

TEST(RandomSource, SeedOneStartsWith41Then18467Then6334)
{
    seedRandomSource(1);
    EXPECT_EQ(drawRandom(), 41);
    EXPECT_EQ(drawRandom(), 18467);
    EXPECT_EQ(drawRandom(), 6334);
    // Seeding again starts the same sequence over.
    seedRandomSource(1);
    EXPECT_EQ(drawRandom(), 41);
}

TEST(RandomSource, DrawsCoverFifteenBitsAndNoMore)
{
    seedRandomSource(1000000000);
    int smallest = 32767;
    int largest = 0;
    for (int i = 0; i < 200000; ++i) {
        const int draw = drawRandom();
        ASSERT_GE(draw, 0);
        ASSERT_LE(draw, 32767);
        smallest = std::min(smallest, draw);
        largest = std::max(largest, draw);
    }
    // Both ends are reached, so the top bit (bit 30 of the state) is in use.
    EXPECT_EQ(smallest, 0);
    EXPECT_EQ(largest, 32767);
}

TEST(WallShuffle, GivesAPermutationOfAllIndices)
{
    for (int n : {1, 2, 7, 1000, 40000}) {
        std::vector<int> order = shuffled(n, 99);
        std::sort(order.begin(), order.end());
        std::vector<int> every(static_cast<std::size_t>(n));
        std::iota(every.begin(), every.end(), 0);
        EXPECT_EQ(order, every) << "n = " << n;
    }
}

// With seed 1 the draws 41, 18467 and 6334 pick positions 41 mod 3 = 2,
// 18467 mod 2 = 1 and 0 of the shrinking unpicked region.
TEST(WallShuffle, PicksAmongTheUnpickedIndicesOneDrawPerIndex)
{
    EXPECT_EQ(shuffled(3, 1), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(drawRandom(), 26500);  // the fourth draw of seed 1: three were used
}

TEST(WallShuffle, EmptyListSucceedsWithoutWritingOrDrawing)
{
    seedRandomSource(1);
    int untouched = -7;
    EXPECT_EQ(shuffleIndices(&untouched, 0), 0);
    EXPECT_EQ(untouched, -7);
    EXPECT_EQ(drawRandom(), 41);
}

// The order made from the 32768 positions a draw can reach is the order the
// whole scratch copy makes, on both sides of that size, and leaves the
// source where the stored shuffle leaves it.
TEST(WallShuffle, OrderMadeFromReachablePositionsIsTheStoredOrder)
{
    for (int n : {1, 2, 3, 32767, 32768, 32769, 32770, 65537, 200000}) {
        for (unsigned seed : {0u, 1u, 1000000000u, 0xffffffffu}) {
            const std::vector<int> streamed = shuffled(n, seed);
            const int next = drawRandom();
            seedRandomSource(seed);
            std::vector<int> stored(static_cast<std::size_t>(n), -1);
            ASSERT_EQ(storedShuffleIndices(stored.data(), n), 0);
            ASSERT_EQ(streamed, stored) << "n = " << n << ", seed " << seed;
            EXPECT_EQ(drawRandom(), next);
        }
    }
}

TEST(WallShuffle, SameSeedGivesTheSameOrderAndOtherSeedsAnother)
{
    const std::vector<int> first = shuffled(500, 1234);
    EXPECT_EQ(shuffled(500, 1234), first);
    EXPECT_NE(shuffled(500, 1235), first);
}

}  // namespace
