// The maze's walls as bits, laid out as the picture's lines: the walls carving
// removes and the solver reads are the very bits the window and the picture
// files draw, so no copy of them is ever made.
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
// last line, always clear. So the wall right of cell (x, y) is bit x + 1 of
// vertical row y, and the wall below it bit x of horizontal row y + 1.
struct WallPlanes {
    int width;                 // W, the maze's columns
    int height;                // H, the maze's rows
    int wordsPerRow;           // words in a row of either plane
    std::uint64_t* vertical;   // H rows
    std::uint64_t* horizontal; // H + 1 rows, right after the vertical plane's
};

// Words in a row of either plane for a maze width columns wide: room for bit
// W + 1 too, so that counting up to any line's end never reads past a row.
inline int planeWordsPerRow(int width)
{
    return static_cast<int>((width > 0 ? width + 1LL : 0LL) / 64 + 1);
}

// Bytes both planes of a width x height maze take.
inline unsigned long long wallPlaneBytes(int width, int height)
{
    const unsigned long long rows = height > 0 ? 2ull * static_cast<unsigned long long>(height) + 1 : 1;
    return rows * static_cast<unsigned long long>(planeWordsPerRow(width)) * sizeof(std::uint64_t);
}

// Whether bit x of a plane row is set.
inline bool lineDrawn(const std::uint64_t* row, long long x)
{
    return (row[x >> 6] >> (x & 63)) & 1;
}

inline const std::uint64_t* verticalRow(const WallPlanes& planes, long long y)
{
    return planes.vertical + y * planes.wordsPerRow;
}

inline const std::uint64_t* horizontalRow(const WallPlanes& planes, long long y)
{
    return planes.horizontal + y * planes.wordsPerRow;
}

// The planes are held by the wall list and, once the window shows the maze,
// by the display too, which keeps them after the wall list is freed: each
// holder claims them, and the last release frees them. A claim and a release
// may come from different threads (maze_threaded's solver frees the wall list
// while the window shows the maze).
WallPlanes claimWallPlanes(const WallPlanes& planes);
void releaseWallPlanes(const WallPlanes& planes);

#endif
