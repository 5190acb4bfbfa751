#include "maze_solver.h"

#include <cstdlib>
#include <cstring>

#include "console.h"
#include "fatal_exit.h"
#include "maze.h"
#include "solution.h"
#include "solving_choices.h"
#include "wall_list.h"
#include "zeroed_array.h"

namespace {

// The order neighbours are tried in: up, left, down, right.
enum Direction { upward, leftward, downward, rightward, directionCount };
constexpr int stepX[directionCount] = {0, -1, 0, 1};
constexpr int stepY[directionCount] = {-1, 0, 1, 0};

}  // namespace

MazeSolver::MazeSolver()
    : openPassages(nullptr), bestMoves(nullptr), path(nullptr), nextDirection(nullptr), pathLength(0)
{
}

MazeSolver::~MazeSolver()
{
    releaseTables();
}

void MazeSolver::releaseTables()
{
    std::free(openPassages);
    openPassages = nullptr;
    std::free(bestMoves);
    std::free(path);
    std::free(nextDirection);
    bestMoves = nullptr;
    path = nullptr;
    nextDirection = nullptr;
}

void MazeSolver::run()
{
    solutionMoves = -1;
    if (mazeMayHaveLoops) {
        searchShortestPath();
        return;
    }
    const long long cells = static_cast<long long>(mazeWidth) * mazeHeight;
    openPassages = allocateZeroed<unsigned char>(cells);
    bestMoves = allocateZeroed<int>(cells);
    path = allocateZeroed<int>(cells);
    nextDirection = allocateZeroed<unsigned char>(cells);
    if (openPassages == nullptr || bestMoves == nullptr || path == nullptr || nextDirection == nullptr)
        fatalExit(FATAL_ALLOCATION);
    markOpenPassages();
    std::memset(bestMoves, 0xff, static_cast<std::size_t>(cells) * sizeof(int));  // every entry -1

    consolePrint("Solving the maze...I bet I can do this faster than you.\n");
    explore(0, 0, 0);
    if (solutionMoves == -1)
        fatalExit(FATAL_GOAL_UNREACHED);
    consolePrint("I'm done trying to solve the maze and did it in %d moves\n", solutionMoves);
    solutionComplete();
    markSolved();
    tellSolvingEnded();
    releaseTables();
}

// Reads the wall list once, in its order, into a bit per cell and direction:
// the search then asks a byte next to the cell instead of a 12-byte record far
// from it, four times per cell. Walls are found where buildWallList lays them
// out, as wallBetween finds them; a neighbour outside the grid has no record
// and stays closed.
void MazeSolver::markOpenPassages()
{
    const int width = mazeWidth;
    const int height = mazeHeight;
    long long record = 0;
    long long cell = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, ++cell) {
            if (x + 1 != width && !wallStands(record++)) {
                openPassages[cell] |= 1 << rightward;
                openPassages[cell + 1] |= 1 << leftward;
            }
            if (y + 1 != height && !wallStands(record++)) {
                openPassages[cell] |= 1 << downward;
                openPassages[cell + width] |= 1 << upward;
            }
        }
    }
}

// Arrival at (x, y) after moves moves: the goal check, then the pruning test.
// Returns whether the cell is to be explored onward.
bool MazeSolver::enter(int x, int y, int moves)
{
    if (x == mazeWidth - 1 && y == mazeHeight - 1) {
        if (solutionMoves == -1 || moves < solutionMoves) {
            solutionMoves = moves;
            consolePrint("I solved the maze in %d moves...", moves);
            consolePrint("perhaps there is a faster way\n");
            captureSolution();
        } else {
            consolePrint("Maze solved again, but this time it was longer\n");
        }
    }
    const int best = bestMoves[x + y * mazeWidth];
    return best == -1 || moves < best;
}

// Copies the path, newest cell first, into a fresh solutionCells.
// The path holds exactly one cell per move taken to reach the goal.
void MazeSolver::captureSolution()
{
    std::free(solutionCells);
    solutionCells = allocateZeroed<int>(pathLength);
    if (solutionCells == nullptr)
        fatalExit(FATAL_ALLOCATION);
    for (int i = 0; i < pathLength; ++i)
        solutionCells[i] = path[pathLength - 1 - i];
}

// Depth-first from (x, y). Each entry of path is a cell being explored, in
// the state a recursive call would hold: the cell, its move count (the
// starting moves plus its depth) and the next neighbour to try. A neighbour's
// wall is tested only after everything beyond the previous one is explored.
void MazeSolver::explore(int x, int y, int moves)
{
    if (!enter(x, y, moves))
        return;
    const int base = pathLength;
    path[pathLength] = x + y * mazeWidth;
    nextDirection[pathLength] = 0;
    ++pathLength;

    // (x, y) follows the top of path: a step into a neighbour moves it forward,
    // finishing a cell steps it back along the direction its parent last tried.
    while (pathLength > base) {
        const int top = pathLength - 1;
        if (nextDirection[top] == directionCount) {
            --pathLength;
            if (pathLength > base) {
                const int cameFrom = nextDirection[pathLength - 1] - 1;
                x -= stepX[cameFrom];
                y -= stepY[cameFrom];
            }
            continue;
        }
        const int direction = nextDirection[top]++;
        const int neighbourX = x + stepX[direction];
        const int neighbourY = y + stepY[direction];
        if ((openPassages[path[top]] & (1 << direction)) == 0)
            continue;
        const int cellMoves = moves + (top - base);
        bestMoves[path[top]] = cellMoves;
        if (enter(neighbourX, neighbourY, cellMoves + 1)) {
            x = neighbourX;
            y = neighbourY;
            path[pathLength] = x + y * mazeWidth;
            nextDirection[pathLength] = 0;
            ++pathLength;
        }
    }
}
