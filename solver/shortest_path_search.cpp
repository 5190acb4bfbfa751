// The breadth-first search the solver makes in a maze that may have loops: a
// shortest path, found in time linear in the cells, where the depth-first
// search's pruning by best move counts could take exponential time. Cells are
// reached in rounds of equal moves, each cell's neighbours tried in the
// depth-first search's order (up, left, down, right), so among paths equally
// short the one found is always the same.
#include <cstdlib>

#include "console.h"
#include "fatal_exit.h"
#include "maze.h"
#include "maze_solver.h"
#include "solution.h"
#include "solving_choices.h"
#include "step_watch.h"
#include "wall_list.h"
#include "zeroed_array.h"

namespace {

constexpr int stepX[4] = {0, -1, 0, 1};
constexpr int stepY[4] = {-1, 0, 1, 0};

// Whether the passage from (x, y) in direction, to a neighbour inside the maze, is open.
bool openToward(int x, int y, int direction)
{
    switch (direction) {
    case 0:
        return !wallStands(lowerWallRecord(x, y - 1));
    case 1:
        return !wallStands(rightWallRecord(x - 1, y));
    case 2:
        return !wallStands(lowerWallRecord(x, y));
    default:
        return !wallStands(rightWallRecord(x, y));
    }
}

}  // namespace

void MazeSolver::searchShortestPath()
{
    const int width = mazeWidth;
    const int height = mazeHeight;
    const long long cells = static_cast<long long>(width) * height;
    const long long goal = cells - 1;
    // Per cell: 0 while not reached, else 1 + the direction back towards the start.
    unsigned char* wayBack = allocateZeroed<unsigned char>(cells);
    int* queue = allocateZeroed<int>(cells);
    if (wayBack == nullptr || queue == nullptr)
        fatalExit(FATAL_ALLOCATION);
    consolePrint("Solving the maze...I bet I can do this faster than you.\n");

    const long long offset[4] = {-width, -1, width, 1};
    long long queued = 0;
    long long taken = 0;
    queue[queued++] = 0;
    if (stepWatch != nullptr)
        stepWatch->cellEntered(0, -1);
    bool reached = goal == 0;
    while (!reached && taken < queued) {
        const long long cell = queue[taken++];
        if (stepWatch != nullptr)
            stepWatch->cellExpanded(cell);
        const int x = static_cast<int>(cell % width);
        const int y = static_cast<int>(cell / width);
        for (int direction = 0; direction < 4 && !reached; ++direction) {
            const int nextX = x + stepX[direction];
            const int nextY = y + stepY[direction];
            const long long next = cell + offset[direction];
            if (nextX < 0 || nextX >= width || nextY < 0 || nextY >= height || next == 0 || wayBack[next] != 0 ||
                !openToward(x, y, direction))
                continue;
            wayBack[next] = static_cast<unsigned char>(1 + (direction ^ 2));
            queue[queued++] = static_cast<int>(next);
            reached = next == goal;
            if (stepWatch != nullptr)
                stepWatch->cellEntered(next, cell);
        }
    }
    std::free(queue);
    if (!reached)
        fatalExit(FATAL_GOAL_UNREACHED);

    auto stepBack = [&](long long cell) { return cell + offset[wayBack[cell] - 1]; };
    int moves = 0;
    for (long long cell = goal; cell != 0; cell = stepBack(cell))
        ++moves;
    std::free(solutionCells);
    solutionCells = allocateZeroed<int>(moves);
    if (solutionCells == nullptr)
        fatalExit(FATAL_ALLOCATION);
    long long cell = goal;
    for (int i = 0; i < moves; ++i) {
        cell = stepBack(cell);
        solutionCells[i] = static_cast<int>(cell);
    }
    std::free(wayBack);
    solutionMoves = moves;

    consolePrint("I solved the maze in %d moves...", moves);
    consolePrint("perhaps there is a faster way\n");
    consolePrint("I'm done trying to solve the maze and did it in %d moves\n", solutionMoves);
    solutionComplete();
    markSolved();
    tellSolvingEnded();
}
