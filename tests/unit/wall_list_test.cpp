// The flat list of interior walls: its layout, and wallBetween's answers for
// neighbours, non-neighbours and cells outside the grid.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "fatal_exit.h"
#include "fatal_expectation.h"
#include "maze.h"
#include "maze_test_fixture.h"
#include "wall_list.h"

namespace {

using WallListTest = MazeTest;

std::vector<std::pair<int, int>> listedPairs()
{
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < wallCount(); ++i)
        pairs.emplace_back(wallRecord(i).cell1, wallRecord(i).cell2);
    return pairs;
}

TEST_F(WallListTest, ThreeByTwoListsSevenStandingWallsRowByRow)
{
    buildClosedMaze(3, 2);
    ASSERT_EQ(wallCount(), 7);
    const std::vector<std::pair<int, int>> expected{{0, 1}, {0, 3}, {1, 2}, {1, 4}, {2, 5}, {3, 4}, {4, 5}};
    EXPECT_EQ(listedPairs(), expected);
    for (int i = 0; i < wallCount(); ++i)
        EXPECT_TRUE(wallStands(i)) << "record " << i;
}

TEST_F(WallListTest, SingleRowListsOnlyWallsBetweenSideBySideCells)
{
    buildClosedMaze(6, 1);
    const std::vector<std::pair<int, int>> expected{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}};
    EXPECT_EQ(listedPairs(), expected);
}

TEST_F(WallListTest, WallCountFollowsTheGrid)
{
    const struct {
        int width, height, count;
    } grids[] = {{1, 1, 0}, {2, 1, 1}, {2, 2, 4}, {20, 10, 370}, {150, 150, 44700}, {0, 5, -5}, {-3, 2, -11}};
    for (const auto& grid : grids) {
        mazeWidth = grid.width;
        mazeHeight = grid.height;
        EXPECT_EQ(wallCount(), grid.count) << grid.width << " x " << grid.height;
    }
}

TEST_F(WallListTest, OneByOneHasAnEmptyListThatIsNoAllocationFailure)
{
    buildClosedMaze(1, 1);
    EXPECT_NE(walls, nullptr);
    EXPECT_EQ(wallCount(), 0);
    EXPECT_EQ(wallBetween(0, 0, 1, 0), 1);
    EXPECT_EQ(wallBetween(0, 0, 0, 1), 1);
}

TEST_F(WallListTest, NeighboursShareOneRecordWhicheverIsNamedFirst)
{
    buildClosedMaze(3, 2);
    openWall(0, 1);
    openWall(1, 4);
    EXPECT_EQ(wallBetween(1, 0, 0, 0), 0);
    EXPECT_EQ(wallBetween(0, 0, 1, 0), 0);
    EXPECT_EQ(wallBetween(1, 0, 1, 1), 0);
    EXPECT_EQ(wallBetween(1, 1, 1, 0), 0);
    // The walls left standing next to them.
    EXPECT_EQ(wallBetween(1, 0, 2, 0), 1);
    EXPECT_EQ(wallBetween(2, 0, 1, 0), 1);
    EXPECT_EQ(wallBetween(0, 0, 0, 1), 1);
    EXPECT_EQ(wallBetween(0, 1, 1, 1), 1);
}

TEST_F(WallListTest, CellsWithNoRecordBetweenThemAreBlockedEvenWithEveryWallOpen)
{
    const int width = 4;
    const int height = 3;
    buildClosedMaze(width, height);
    openEveryWall();
    EXPECT_EQ(wallBetween(0, 0, 1, 1), 1);   // diagonal
    EXPECT_EQ(wallBetween(2, 1, 1, 2), 1);   // the other diagonal
    EXPECT_EQ(wallBetween(1, 1, 1, 1), 1);   // a cell and itself
    EXPECT_EQ(wallBetween(0, 0, 2, 0), 1);   // two apart
    EXPECT_EQ(wallBetween(0, 0, 0, 2), 1);
    EXPECT_EQ(wallBetween(0, 0, 0, -1), 1);  // above the grid
    EXPECT_EQ(wallBetween(0, 1, -1, 1), 1);  // left of the grid: the index of the row above's last cell
    EXPECT_EQ(wallBetween(width - 1, 0, width, 0), 1);    // right of the grid: the next row's first cell
    EXPECT_EQ(wallBetween(2, height - 1, 2, height), 1);  // below the grid
    // The end of one row and the start of the next have consecutive indices
    // but no wall between them.
    EXPECT_EQ(wallBetween(width - 1, 0, 0, 1), 1);
    EXPECT_EQ(wallBetween(0, 1, width - 1, 0), 1);
    // The real neighbours, by contrast, are all open.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (x + 1 < width) {
                EXPECT_EQ(wallBetween(x, y, x + 1, y), 0) << x << "," << y;
            }
            if (y + 1 < height) {
                EXPECT_EQ(wallBetween(x, y, x, y + 1), 0) << x << "," << y;
            }
        }
    }
}

// The query works on cell indices x + y * W, so coordinates past the right
// edge name cells of the next row, and a pair of such cells that are
// neighbours by index reads that wall's flag.
TEST_F(WallListTest, CoordinatesPastTheRightEdgeNameCellsOfTheNextRow)
{
    buildClosedMaze(4, 3);
    openWall(4, 5);  // between (0, 1) and (1, 1)
    EXPECT_EQ(wallBetween(4, 0, 1, 1), 0);
    EXPECT_EQ(wallBetween(0, 1, 5, 0), 0);
    EXPECT_EQ(wallBetween(4, 0, 0, 2), 1);  // (0, 1) and (0, 2): that wall stands
}

TEST_F(WallListTest, CarvedMazeReportsExactlyItsRemovedWallsAsOpen)
{
    for (auto size : {std::pair{9, 7}, std::pair{12, 1}, std::pair{2, 9}}) {
        buildCarvedMaze(size.first, size.second, 4242);
        for (int i = 0; i < wallCount(); ++i) {
            const Wall wall = wallRecord(i);
            const int x1 = wall.cell1 % mazeWidth;
            const int y1 = wall.cell1 / mazeWidth;
            const int x2 = wall.cell2 % mazeWidth;
            const int y2 = wall.cell2 / mazeWidth;
            EXPECT_EQ(wallBetween(x1, y1, x2, y2), wall.present) << "record " << i;
            EXPECT_EQ(wallBetween(x2, y2, x1, y1), wall.present) << "record " << i;
        }
    }
}

// Each record reaches its own bit and no other: removing it opens exactly the
// passage its cells name, seen through wallBetween and the picture's planes,
// at the corners of small grids and of the largest square, whose planes' bits
// are counted past 2^31.
TEST_F(WallListTest, EachRecordIsOneBitOfThePlanesAtEveryEdge)
{
    for (auto size : {std::pair{2, 1}, std::pair{6, 1}, std::pair{3, 2}, std::pair{65, 3}, std::pair{32768, 32768}}) {
        const auto [width, height] = size;
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        buildClosedMaze(width, height);
        const long long last = static_cast<long long>(wallCount()) - 1;
        // The first and last records, and some between.
        std::vector<long long> records;
        for (long long index = 0; index <= last; index += index < 200 || last - index < 200 ? 1 : last / 50)
            records.push_back(index);
        for (long long index : records) {
            const Wall wall = wallRecord(index);
            const int x = wall.cell1 % width;
            const int y = wall.cell1 / width;
            const bool below = wall.cell2 - wall.cell1 != 1;
            ASSERT_EQ(below ? lowerWallRecord(x, y) : rightWallRecord(x, y), index);
            const std::uint64_t* row = below ? horizontalRow(*walls, y + 1) : verticalRow(*walls, y);
            const int line = below ? x : x + 1;
            auto drawnInRow = [&] {
                int drawn = 0;
                for (int word = 0; word < walls->wordsPerRow; ++word)
                    drawn += __builtin_popcountll(row[word]);
                return drawn;
            };
            const int before = drawnInRow();
            ASSERT_TRUE(wallStands(index));
            removeWall(index);
            EXPECT_FALSE(lineDrawn(row, line));
            EXPECT_EQ(drawnInRow(), before - 1);
            EXPECT_EQ(wallBetween(x, y, below ? x : x + 1, below ? y + 1 : y), 0);
            EXPECT_EQ(wallRecord(index).present, 0);
            restoreWall(index);
            EXPECT_TRUE(lineDrawn(row, line));
        }
        // The border: the entrance and the exit open, every other line drawn.
        EXPECT_FALSE(lineDrawn(horizontalRow(*walls, 0), 0));
        EXPECT_FALSE(lineDrawn(verticalRow(*walls, height - 1), width));
        EXPECT_TRUE(lineDrawn(horizontalRow(*walls, height), width - 1));
        EXPECT_TRUE(lineDrawn(verticalRow(*walls, height - 1), 0));
        EXPECT_FALSE(lineDrawn(horizontalRow(*walls, height), width));
    }
    // The widest maze: a row of 2^31 - 1 cells, its lines' words counted past 32 bits.
    EXPECT_EQ(planeWordsPerRow(2147483647), 33554433);
    EXPECT_EQ(wallPlaneBytes(2147483647, 1), 3ull * 33554433 * 8);
}

using WallListDeathTest = MazeTest;

TEST_F(WallListDeathTest, NegativeWallCountEndsWithLevel1WhenTheListIsCreated)
{
    for (auto size : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 2}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        expectFatalExit([size] { buildClosedMaze(size.first, size.second); }, FATAL_ALLOCATION);
    }
}

}  // namespace
