// The carved maze as the picture files read it: the wall list in record
// order, one row of cells at a time, and the solution.
#ifndef MAZE_ROWS_H
#define MAZE_ROWS_H

#include <vector>

// Walks walls from the first record to the last. The records of a row of
// cells are its walls to the right of each cell but the last, each followed,
// in every row but the last, by the wall below that cell, and the last cell's
// wall below.
class WallRowReader {
public:
    WallRowReader();

    // Reads the next row of cells: rightStands[x] whether the wall between
    // cells x and x + 1 stands (W - 1 entries), belowStands[x] the wall below
    // cell x (W entries; none in the last row).
    void readRow(std::vector<unsigned char>& rightStands, std::vector<unsigned char>& belowStands);

private:
    long long nextRecord;
    int nextRow;
};

// Which grid lines stand, in the window's coordinates: a cell is one unit, row
// 0 at the top, the start cell's top side (the entrance) and the goal cell's
// right side (the exit) open, the rest of the border standing. Reads the rows
// of cells in order and keeps the last two.
class StandingLines {
public:
    StandingLines();

    // Reads rows of cells up to y, which must not lie before the last one read.
    void advanceTo(int y);

    // Whether the line from (x, k) to (x + 1, k) stands: the border for k = 0
    // and k = H, else the wall below cell (x, k - 1), whose row must be kept.
    bool horizontal(int k, int x) const;

    // Whether the line from (k, y) to (k, y + 1) stands: the border for k = 0
    // and k = W, else the wall right of cell (k - 1, y), whose row must be kept.
    bool vertical(int y, int k) const;

    // Whether cells (x, y) and (x + 1, y) are joined by a passage.
    bool joinedRight(int y, int x) const { return rowOf(y).rightStands[x] == 0; }

    // Whether cells (x, y) and (x, y + 1) are joined by a passage.
    bool joinedBelow(int y, int x) const { return rowOf(y).belowStands[x] == 0; }

private:
    struct Row {
        int y = -1;
        std::vector<unsigned char> rightStands;
        std::vector<unsigned char> belowStands;
    };
    const Row& rowOf(int y) const { return kept[y & 1]; }

    WallRowReader reader;
    int lastRead = -1;
    Row kept[2];  // the last two rows read, each at the index of its parity
};

// The solution as the window draws it: the centre of the goal cell, then those
// of solutionCells, back to the start.
struct SolutionPath {
    const int* cells = nullptr;  // solutionCells
    int moves = 0;               // solutionMoves
};

// Every cell the solution passes through, goal and start included. In a
// perfect maze, two neighbouring cells of the path joined by a passage follow
// each other on it, so these cells and the walls give the whole line.
std::vector<bool> cellsOnPath(const SolutionPath& solution);

#endif
