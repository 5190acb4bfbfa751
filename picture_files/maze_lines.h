// The maze as lines, for the vector formats: each straight run of standing
// walls as one line, and the solution as a line turning from cell to cell.
#ifndef MAZE_LINES_H
#define MAZE_LINES_H

#include <vector>

#include "maze.h"
#include "maze_rows.h"

// Calls line(x1, y1, x2, y2) for each straight run of standing lines of the
// maze, border included, in grid coordinates (a cell is one unit, (0, 0) the
// start cell's top left corner), reading the wall list once, in order: the
// horizontal runs of each grid line in turn, and each vertical run once the
// row that ends it has been read; and rowTraced(y, H) after grid line y.
template <typename Line, typename RowTraced>
void traceWallRuns(Line&& line, RowTraced&& rowTraced)
{
    const int width = mazeWidth;
    const int height = mazeHeight;
    StandingLines lines;
    std::vector<int> runStart(static_cast<std::size_t>(width) + 1, -1);  // per vertical grid line; -1 outside a run
    for (int y = 0; y <= height; ++y) {
        int start = -1;
        for (int x = 0; x <= width; ++x) {
            const bool stands = x < width && lines.horizontal(y, x);
            if (stands && start < 0)
                start = x;
            if (!stands && start >= 0) {
                line(start, y, x, y);
                start = -1;
            }
        }
        for (int k = 0; k <= width; ++k) {
            const bool stands = y < height && lines.vertical(y, k);
            int& begun = runStart[static_cast<std::size_t>(k)];
            if (stands && begun < 0)
                begun = y;
            if (!stands && begun >= 0) {
                line(k, begun, k, y);
                begun = -1;
            }
        }
        rowTraced(y, height);
    }
}

// Calls point(x, y) with the cells where the solution line starts, turns and
// ends: the goal cell first, the start cell last.
template <typename Point>
void traceSolutionTurns(const SolutionPath& solution, Point&& point)
{
    const int width = mazeWidth;
    auto cellAt = [&](int i) { return i == 0 ? width * mazeHeight - 1 : solution.cells[i - 1]; };
    const int points = solution.moves + 1;
    point(cellAt(0) % width, cellAt(0) / width);
    for (int i = 1; i < points; ++i) {
        const int cell = cellAt(i);
        const bool last = i == points - 1;
        // A cell in the middle of a straight stretch is no turn.
        if (!last && cell - cellAt(i - 1) == cellAt(i + 1) - cell)
            continue;
        point(cell % width, cell / width);
    }
}

#endif
