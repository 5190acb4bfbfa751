#include "maze_solver.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "console.h"
#include "fatal_exit.h"
#include "maze.h"
#include "solution.h"
#include "solving_choices.h"
#include "step_watch.h"
#include "wall_list.h"
#include "zeroed_array.h"

namespace {

// The order neighbours are tried in: up, left, down, right.
enum Direction { upward, leftward, downward, rightward, directionCount };
constexpr int stepX[directionCount] = {0, -1, 0, 1};
constexpr int stepY[directionCount] = {-1, 0, 1, 0};

}  // namespace

MazeSolver::MazeSolver()
    : openPassages(nullptr), bestMoves(nullptr), path(nullptr), nextDirection(nullptr), pathLength(0), steps(nullptr)
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
    std::free(steps);
    steps = nullptr;
}

void MazeSolver::run()
{
    solutionMoves = -1;
    if (mazeMayHaveLoops) {
        searchShortestPath();
        return;
    }
    if (isKnownPerfectMaze()) {
        solveTree();
    } else {
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
    }
    if (solutionMoves == -1)
        fatalExit(FATAL_GOAL_UNREACHED);
    consolePrint("I'm done trying to solve the maze and did it in %d moves\n", solutionMoves);
    solutionComplete();
    markSolved();
    tellSolvingEnded();
    releaseTables();
}

unsigned long long MazeSolver::workingBytes(int width, int height, bool perfect)
{
    const unsigned long long cells =
        width > 0 && height > 0 ? static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) : 0;
    if (perfect)
        return (cells / stepsPerWord + 1) * sizeof(std::uint64_t);
    return cells * (2 * sizeof(unsigned char) + 2 * sizeof(int));
}

namespace {

// The tree's walk tries the directions toward the goal first, so that it
// explores less of the maze before reaching it: in a tree the path it finds is
// the one path whatever the order. Numbered so that a direction's reverse is
// two on.
enum TreeDirection { treeDown, treeRight, treeUp, treeLeft };
constexpr int treeStepX[directionCount] = {0, 1, 0, -1};
constexpr int treeStepY[directionCount] = {1, 0, -1, 0};

// The passages open from cell (x, y), a bit per tree direction, read from the
// maze's own bits; the entrance and the exit lead out of the grid and count
// as closed.
inline unsigned openSides(const WallPlanes& planes, int x, int y)
{
    const std::uint64_t* const vertical = verticalRow(planes, y);
    const unsigned up = y > 0 && !lineDrawn(horizontalRow(planes, y), x);
    const unsigned left = x > 0 && !lineDrawn(vertical, x);
    const unsigned down = y + 1 < planes.height && !lineDrawn(horizontalRow(planes, y + 1), x);
    const unsigned right = x + 1 < planes.width && !lineDrawn(vertical, x + 1);
    return up << treeUp | left << treeLeft | down << treeDown | right << treeRight;
}

}  // namespace

// In a tree the search from the start enters every cell once, along its one
// path, and steps back into a cell only to be turned away at once; the goal
// is reached once, by the path to it, and entered again only from the branch
// beyond it, which exists when both its inner sides are open. So the lines
// and the solution of the whole search follow from that path alone, which a
// walk that never steps back the way it came finds with a direction of two
// bits a step, and stops there.
void MazeSolver::solveTree()
{
    const WallPlanes& planes = *walls;
    const int width = mazeWidth;
    const int height = mazeHeight;
    steps = allocateZeroed<std::uint64_t>(static_cast<long long>(workingBytes(width, height, true) / sizeof(std::uint64_t)));
    if (steps == nullptr)
        fatalExit(FATAL_ALLOCATION);
    consolePrint("Solving the maze...I bet I can do this faster than you.\n");

    auto stepAt = [this](long long depth) {
        return static_cast<int>((steps[depth / stepsPerWord] >> (2 * (depth % stepsPerWord))) & 3);
    };
    auto reverseOf = [](int direction) { return (direction + 2) & 3; };
    long long depth = 0;
    int x = 0;
    int y = 0;
    // The directions still to try from (x, y): its open sides but the one it was entered by.
    unsigned pending = openSides(planes, x, y);
    if (stepWatch != nullptr)
        stepWatch->cellEntered(0, -1);
    while (x != width - 1 || y != height - 1) {
        if (pending != 0) {
            const int next = __builtin_ctz(pending);
            steps[depth / stepsPerWord] |= static_cast<std::uint64_t>(next) << (2 * (depth % stepsPerWord));
            ++depth;
            const long long from = x + static_cast<long long>(y) * width;
            x += treeStepX[next];
            y += treeStepY[next];
            pending = openSides(planes, x, y) & ~(1u << reverseOf(next));
            if (stepWatch != nullptr)
                stepWatch->cellEntered(x + static_cast<long long>(y) * width, from);
            continue;
        }
        if (depth == 0)
            return;  // every cell reached, and not the goal
        if (stepWatch != nullptr)
            stepWatch->cellLeft(x + static_cast<long long>(y) * width);
        --depth;
        const int taken = stepAt(depth);
        steps[depth / stepsPerWord] &= ~(std::uint64_t{3} << (2 * (depth % stepsPerWord)));
        x -= treeStepX[taken];
        y -= treeStepY[taken];
        const unsigned untried = 0xfu << (taken + 1);
        pending = openSides(planes, x, y) & untried & (depth > 0 ? ~(1u << reverseOf(stepAt(depth - 1))) : ~0u);
    }

    if (depth > 0x7fffffffLL)
        fatalExit(FATAL_ALLOCATION);
    solutionMoves = static_cast<int>(depth);
    consolePrint("I solved the maze in %d moves...", solutionMoves);
    consolePrint("perhaps there is a faster way\n");
    std::free(solutionCells);
    solutionCells = allocateZeroed<int>(solutionMoves);
    if (solutionCells == nullptr)
        fatalExit(FATAL_ALLOCATION);
    // Newest first: the cell entered just before the goal, back to the start.
    int cellX = 0;
    int cellY = 0;
    for (long long i = 0; i < depth; ++i) {
        solutionCells[depth - 1 - i] = cellX + cellY * width;
        const int step = stepAt(i);
        cellX += treeStepX[step];
        cellY += treeStepY[step];
    }
    const unsigned goalSides = openSides(planes, width - 1, height - 1);
    const unsigned inner = 1u << treeUp | 1u << treeLeft;
    if ((goalSides & inner) == inner)
        consolePrint("Maze solved again, but this time it was longer\n");
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
    if (stepWatch != nullptr)
        stepWatch->cellEntered(x + static_cast<long long>(y) * mazeWidth, -1);
    const int base = pathLength;
    path[pathLength] = x + y * mazeWidth;
    nextDirection[pathLength] = 0;
    ++pathLength;

    // (x, y) follows the top of path: a step into a neighbour moves it forward,
    // finishing a cell steps it back along the direction its parent last tried.
    while (pathLength > base) {
        const int top = pathLength - 1;
        if (nextDirection[top] == directionCount) {
            if (stepWatch != nullptr)
                stepWatch->cellLeft(path[top]);
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
            if (stepWatch != nullptr)
                stepWatch->cellEntered(neighbourX + static_cast<long long>(neighbourY) * mazeWidth, path[top]);
            x = neighbourX;
            y = neighbourY;
            path[pathLength] = x + y * mazeWidth;
            nextDirection[pathLength] = 0;
            ++pathLength;
        }
    }
}
