// Carving: a perfect maze out of the closed grid, decided by the shuffled
// wall order alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "maze.h"
#include "wall_list.h"
#include "maze_test_fixture.h"
#include "random_source.h"

namespace {

using CarvingTest = MazeTest;

TEST_F(CarvingTest, TwoByOneRemovesItsOnlyWall)
{
    buildCarvedMaze(2, 1, 1);
    ASSERT_EQ(wallCount(), 1);
    EXPECT_FALSE(wallStands(0));
}

TEST_F(CarvingTest, OneByOneCarvesNothingAndSucceeds)
{
    buildCarvedMaze(1, 1, 1);
    EXPECT_EQ(wallCount(), 0);
    EXPECT_EQ(drawRandom(), 41);  // no wall, no draw
}

TEST_F(CarvingTest, RemovesOneWallFewerThanCellsAndReachesEveryCell)
{
    const std::pair<int, int> sizes[] = {{2, 1}, {2, 2}, {3, 2}, {7, 1}, {2, 9}, {10, 7}, {33, 20}};
    for (auto [width, height] : sizes) {
        for (unsigned seed : {1u, 7u, 1000000000u}) {
            SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + ", seed " + std::to_string(seed));
            buildCarvedMaze(width, height, seed);
            EXPECT_EQ(removedWallCount(), width * height - 1);
            const std::vector<int> moves = movesFromStart();
            EXPECT_EQ(std::count(moves.begin(), moves.end(), -1), 0);
        }
    }
}

// Seed 1 gives the order 6, 5, 4, 0, 2, 3, 1 (from the draws 41, 18467, 6334,
// 26500, 19169, 15724, 11478): the walls (4,5), (3,4), (2,5), (0,1) and (1,2)
// each join two separate sets and go; (1,4) and (0,3) come when everything is
// already connected and stay.
TEST_F(CarvingTest, SeedOneCarvesTheThreeByTwoMazeItsShuffleDictates)
{
    buildCarvedMaze(3, 2, 1);
    // Records in list order: (0,1), (0,3), (1,2), (1,4), (2,5), (3,4), (4,5).
    EXPECT_EQ(presentFlags(), (std::vector<unsigned char>{0, 1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(drawRandom(), 29358);  // the eighth draw: carving drew once per wall
}

TEST_F(CarvingTest, SameSeedAndSizeGiveTheSameMazeOtherSeedsOtherMazes)
{
    buildCarvedMaze(20, 15, 77);
    const std::vector<unsigned char> first = presentFlags();
    buildCarvedMaze(20, 15, 77);
    EXPECT_EQ(presentFlags(), first);
    for (unsigned seed : {78u, 1u, 1000000000u}) {
        buildCarvedMaze(20, 15, seed);
        EXPECT_NE(presentFlags(), first) << "seed " << seed;
    }
}

}  // namespace
