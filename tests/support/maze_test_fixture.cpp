#include "maze_test_fixture.h"

#include <cstdlib>
#include <deque>

#include "carving.h"
#include "maze.h"
#include "random_source.h"
#include "solution.h"
#include "solving_choices.h"
#include "wall_list.h"

void MazeTest::SetUp()
{
    resetMazeState();
}

void MazeTest::TearDown()
{
    resetMazeState();
}

void MazeTest::resetMazeState()
{
    freeWallList();
    mazeWidth = 0;
    mazeHeight = 0;
    std::free(solutionCells);
    solutionCells = nullptr;
    solutionMoves = -1;
    solved = 0;
    mazeMayHaveLoops = false;
    windowShowsSolution = true;
    statisticsWanted = false;
}

void MazeTest::buildClosedMaze(int width, int height)
{
    freeWallList();
    mazeWidth = width;
    mazeHeight = height;
    createWallList();
}

void MazeTest::buildCarvedMaze(int width, int height, unsigned seed)
{
    buildClosedMaze(width, height);
    seedRandomSource(seed);
    carveMaze();
}

void MazeTest::openWall(int a, int b)
{
    for (int i = 0; i < wallCount(); ++i) {
        const Wall wall = wallRecord(i);
        if ((wall.cell1 == a && wall.cell2 == b) || (wall.cell1 == b && wall.cell2 == a)) {
            removeWall(i);
            return;
        }
    }
    FAIL() << "no wall between cells " << a << " and " << b;
}

void MazeTest::openEveryWall()
{
    for (int i = 0; i < wallCount(); ++i)
        removeWall(i);
}

int MazeTest::removedWallCount()
{
    int removed = 0;
    for (int i = 0; i < wallCount(); ++i)
        removed += wallStands(i) ? 0 : 1;
    return removed;
}

std::vector<int> MazeTest::movesFromStart()
{
    const int cells = mazeWidth * mazeHeight;
    std::vector<std::vector<int>> passages(static_cast<std::size_t>(cells));
    for (int i = 0; i < wallCount(); ++i) {
        const Wall wall = wallRecord(i);
        if (wall.present == 0) {
            passages[static_cast<std::size_t>(wall.cell1)].push_back(wall.cell2);
            passages[static_cast<std::size_t>(wall.cell2)].push_back(wall.cell1);
        }
    }
    std::vector<int> moves(static_cast<std::size_t>(cells), -1);
    std::deque<int> frontier{0};
    moves[0] = 0;
    while (!frontier.empty()) {
        const int cell = frontier.front();
        frontier.pop_front();
        for (int next : passages[static_cast<std::size_t>(cell)]) {
            if (moves[static_cast<std::size_t>(next)] < 0) {
                moves[static_cast<std::size_t>(next)] = moves[static_cast<std::size_t>(cell)] + 1;
                frontier.push_back(next);
            }
        }
    }
    return moves;
}

std::vector<unsigned char> MazeTest::presentFlags()
{
    std::vector<unsigned char> flags;
    for (int i = 0; i < wallCount(); ++i)
        flags.push_back(wallStands(i) ? 1 : 0);
    return flags;
}

void MazeTest::setPresentFlags(const std::vector<unsigned char>& flags)
{
    ASSERT_EQ(flags.size(), static_cast<std::size_t>(wallCount()));
    for (std::size_t i = 0; i < flags.size(); ++i)
        if (flags[i] != 0)
            restoreWall(static_cast<long long>(i));
        else
            removeWall(static_cast<long long>(i));
}
