// The display's own copy of the maze's lines, two bits a cell: the wall list
// is freed while the window is open, and at 12 bytes a record it is far too
// large to walk for every view.
#ifndef WALL_PLANES_H
#define WALL_PLANES_H

#include <cstdint>

// Every line of the picture, the border's included, as bits: row y of the
// vertical plane has bit x set when the line from (x, y) to (x, y + 1) is
// drawn, for x = 0 .. W (x = 0 is the left border, x = W the right one, open
// beside the goal cell); row y of the horizontal plane has bit x set when the
// line from (x, y) to (x + 1, y) is drawn, for y = 0 .. H (y = 0 is the top
// border, open above the start cell, y = H the bottom one). Bit x of a row is
// bit x % 64 of its word x / 64; each row has a spare bit or more beyond its
// last line, always clear.
struct WallPlanes {
    int width;                 // W, the maze's columns
    int height;                // H, the maze's rows
    int wordsPerRow;           // words in a row of either plane
    std::uint64_t* vertical;   // H rows
    std::uint64_t* horizontal; // H + 1 rows
};

// The planes of the current maze: written by keepWallPlanes, read by the
// pictures on the GLUT thread and by the threads that help it compute a view.
extern WallPlanes wallPlanes;

// Reads walls (its standing records, in the order buildWallList lays them out)
// into wallPlanes. Fatal level 1 when there is no memory for them.
void keepWallPlanes();

// Whether bit x of a plane row is set.
inline bool lineDrawn(const std::uint64_t* row, int x)
{
    return (row[x >> 6] >> (x & 63)) & 1;
}

inline const std::uint64_t* verticalRow(const WallPlanes& planes, int y)
{
    return planes.vertical + static_cast<long long>(y) * planes.wordsPerRow;
}

inline const std::uint64_t* horizontalRow(const WallPlanes& planes, int y)
{
    return planes.horizontal + static_cast<long long>(y) * planes.wordsPerRow;
}

#endif
