#include "recursive_solver.h"

#include <cstdlib>

#include "console.h"
#include "deep_stack.h"
#include "fatal_exit.h"
#include "linear_wall_scan.h"
#include "maze.h"
#include "solution.h"
#include "zeroed_array.h"

namespace {

// The search may nest one call per cell; leave generous room per call, since
// sanitizer builds inflate the frames several times over.
std::size_t stackBytesFor(long long cells)
{
    constexpr std::size_t bytesPerCall = 2048;
    constexpr std::size_t headroom = 16u << 20;
    return headroom + static_cast<std::size_t>(cells > 0 ? cells : 0) * bytesPerCall;
}

}  // namespace

RecursiveMazeSolver::RecursiveMazeSolver() : bestMoves(nullptr) {}

RecursiveMazeSolver::~RecursiveMazeSolver()
{
    freeBestMoves();
}

void RecursiveMazeSolver::run()
{
    solutionMoves = -1;
    bestMoves = allocateZeroed<int*>(mazeWidth);
    if (bestMoves == nullptr)
        fatalExit(FATAL_ALLOCATION);
    for (int x = 0; x < mazeWidth; ++x) {
        bestMoves[x] = allocateZeroed<int>(mazeHeight);
        if (bestMoves[x] == nullptr)
            fatalExit(FATAL_ALLOCATION);
        for (int y = 0; y < mazeHeight; ++y)
            bestMoves[x][y] = -1;
    }

    consolePrint("Solving the maze...I bet I can do this faster than you.\n");
    runOnDeepStack(stackBytesFor(static_cast<long long>(mazeWidth) * mazeHeight), [this] { explore(0, 0, 0); });
    if (solutionMoves == -1)
        fatalExit(FATAL_GOAL_UNREACHED);
    consolePrint("I'm done trying to solve the maze and did it in %d moves\n", solutionMoves);
    markSolved();
    consolePrint("\nPress spacebar to see my solution to the maze\n");

    freeBestMoves();
}

void RecursiveMazeSolver::explore(int x, int y, int moves)
{
    // The goal check comes before the pruning test, so a longer arrival is
    // still reported before it is cut off.
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

    const int best = bestMoves[x][y];
    if (best != -1 && moves >= best)
        return;

    const int here = x + y * mazeWidth;
    // Up, left, down, right.
    const int neighbourX[4] = {x, x - 1, x, x + 1};
    const int neighbourY[4] = {y - 1, y, y + 1, y};
    for (int direction = 0; direction < 4; ++direction) {
        const int nextX = neighbourX[direction];
        const int nextY = neighbourY[direction];
        if (scanWallBetween(x, y, nextX, nextY) == 0) {
            bestMoves[x][y] = moves;
            path.push_back(here);
            explore(nextX, nextY, moves + 1);
            path.pop_back();
        }
    }
}

// The path newest cell first: from the goal's predecessor back to the start.
void RecursiveMazeSolver::captureSolution()
{
    const int n = static_cast<int>(path.size());
    std::free(solutionCells);
    solutionCells = allocateZeroed<int>(n);
    if (solutionCells == nullptr)
        fatalExit(FATAL_ALLOCATION);
    std::deque<int> remaining = path;
    for (int i = 0; i < n; ++i) {
        solutionCells[i] = remaining.back();
        remaining.pop_back();
    }
}

void RecursiveMazeSolver::freeBestMoves()
{
    if (bestMoves == nullptr)
        return;
    for (int x = 0; x < mazeWidth; ++x)
        std::free(bestMoves[x]);
    std::free(bestMoves);
    bestMoves = nullptr;
}
