// The depth-first search from the top-left cell to the bottom-right one.
#ifndef MAZE_SOLVER_H
#define MAZE_SOLVER_H

#include <cstdint>

// Searches every path from the start, entering a cell again only with fewer
// moves than it was last left with, and captures the path of each arrival at
// the goal that beats the earlier ones. It boasts on the console as it goes.
//
// The search keeps its own stack instead of recursing, so a maze of any size
// solves on any thread's stack. A maze known to be perfect (see wall_list.h)
// has one path to the goal, which fixes everything the search prints and
// leaves; it is found with two bits a step and no table a cell. A maze that
// may have loops (solving_choices.h) is searched breadth-first instead, for a
// shortest path, with the same lines.
class MazeSolver {
public:
    MazeSolver();
    virtual ~MazeSolver();

    MazeSolver(const MazeSolver&) = delete;
    MazeSolver& operator=(const MazeSolver&) = delete;

    // The whole solve: fills solutionMoves and solutionCells and marks the
    // maze solved. Fatal level 1 when memory runs out, 8 when the goal cannot
    // be reached.
    virtual void run();

    // The most run holds for a maze of the given size, perfect or not, beyond
    // the solution it leaves: the memory check counts it.
    static unsigned long long workingBytes(int width, int height, bool perfect);

protected:
    // Called once the search is done, before the maze is marked solved: the
    // last moment solutionCells belongs to the solver alone, since the display
    // may free it as soon as it sees the maze solved.
    virtual void solutionComplete() {}

private:
    void searchShortestPath();
    void solveTree();
    void explore(int x, int y, int moves);
    bool enter(int x, int y, int moves);
    void captureSolution();
    void markOpenPassages();
    void releaseTables();

    // Alive only during run:
    unsigned char* openPassages;   // per cell, a bit per direction whose wall is removed
    int* bestMoves;                // per cell, the moves it was last left with; -1 while never left
    int* path;                     // the cells from the start to the one being explored
    unsigned char* nextDirection;  // per entry of path, the next neighbour to try
    int pathLength;
    std::uint64_t* steps;          // a perfect maze's path: two bits a step, the direction taken
    static constexpr long long stepsPerWord = 32;
};

#endif
