// The depth-first solver in its plain recursive form: a table of columns for
// the best move counts, a deque for the path, and a linear wall scan for every
// step. MazeSolver must print the same lines and leave the same solution, so
// this is its oracle, and its cost is the benchmark's baseline for solving.
#ifndef RECURSIVE_SOLVER_H
#define RECURSIVE_SOLVER_H

#include <deque>

class RecursiveMazeSolver {
public:
    RecursiveMazeSolver();
    ~RecursiveMazeSolver();

    RecursiveMazeSolver(const RecursiveMazeSolver&) = delete;
    RecursiveMazeSolver& operator=(const RecursiveMazeSolver&) = delete;

    // The whole solve, with the same console lines, results and fatal levels
    // (1, 8) as MazeSolver::run; marks the maze solved.
    void run();

private:
    void explore(int x, int y, int moves);
    void captureSolution();
    void freeBestMoves();

    // Alive only during run:
    int** bestMoves;       // bestMoves[x][y]: moves cell (x, y) was last left with; -1 while never left
    std::deque<int> path;  // the cells from the start to the predecessor of the one being explored
};

#endif
