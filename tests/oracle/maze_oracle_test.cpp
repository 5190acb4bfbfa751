#include "maze_oracle_test.h"

#include <cstdlib>

#include "carving.h"
#include "maze.h"
#include "random_source.h"
#include "solution.h"
#include "wall_list.h"

void MazeOracleTest::TearDown()
{
    freeWallList();
    std::free(solutionCells);
    solutionCells = nullptr;
    solutionMoves = -1;
    solved = 0;
    mazeWidth = 0;
    mazeHeight = 0;
}

void MazeOracleTest::useClosedGrid(int width, int height)
{
    freeWallList();
    mazeWidth = width;
    mazeHeight = height;
    createWallList();
}

void MazeOracleTest::useCarvedMaze(int width, int height, std::uint32_t seed)
{
    useClosedGrid(width, height);
    seedRandomSource(seed);
    carveMaze();
}

std::vector<unsigned char> MazeOracleTest::presentFlags() const
{
    std::vector<unsigned char> flags(static_cast<std::size_t>(wallCount()));
    for (std::size_t i = 0; i < flags.size(); ++i)
        flags[i] = walls[i].present;
    return flags;
}

void MazeOracleTest::setPresentFlags(const std::vector<unsigned char>& flags)
{
    ASSERT_EQ(flags.size(), static_cast<std::size_t>(wallCount()));
    for (std::size_t i = 0; i < flags.size(); ++i)
        walls[i].present = flags[i];
}

void MazeOracleTest::openPassage(int x1, int y1, int x2, int y2)
{
    const int p = x1 + y1 * mazeWidth;
    const int q = x2 + y2 * mazeWidth;
    for (int i = 0; i < wallCount(); ++i) {
        if ((walls[i].cell1 == p && walls[i].cell2 == q) || (walls[i].cell1 == q && walls[i].cell2 == p)) {
            walls[i].present = 0;
            return;
        }
    }
    ADD_FAILURE() << "no wall between (" << x1 << ", " << y1 << ") and (" << x2 << ", " << y2 << ")";
}
