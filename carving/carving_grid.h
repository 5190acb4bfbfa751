// What every carving shares: the four directions, the wall between a cell and
// its neighbour, and a bit a cell. Every carving writes the maze through the
// wall list's functions alone, as the solver and the pictures read it.
#ifndef CARVING_GRID_H
#define CARVING_GRID_H

#include <cstdint>
#include <cstdlib>

#include "fatal_exit.h"
#include "maze.h"
#include "wall_list.h"
#include "zeroed_array.h"

// In the order the solver tries them; a direction's opposite is its number xor 2.
enum Direction { UP, LEFT, DOWN, RIGHT };
constexpr int stepX[4] = {0, -1, 0, 1};
constexpr int stepY[4] = {-1, 0, 1, 0};

inline int opposite(int direction)
{
    return direction ^ 2;
}

inline bool insideMaze(int x, int y)
{
    return x >= 0 && x < mazeWidth && y >= 0 && y < mazeHeight;
}

// The record of the wall between (x, y) and its neighbour in direction, which
// must lie inside the maze.
inline long long wallToward(int x, int y, int direction)
{
    switch (direction) {
    case UP:
        return lowerWallRecord(x, y - 1);
    case LEFT:
        return rightWallRecord(x - 1, y);
    case DOWN:
        return lowerWallRecord(x, y);
    default:
        return rightWallRecord(x, y);
    }
}

inline void openToward(int x, int y, int direction)
{
    removeWall(wallToward(x, y, direction));
}

inline bool joinedToward(int x, int y, int direction)
{
    return !wallStands(wallToward(x, y, direction));
}

// The directions from cell (x, y) to neighbours inside the maze for whose
// cell index wanted is true, into directions; returns how many.
template <typename Wanted>
int neighboursWhere(int x, int y, long long cell, Wanted wanted, int directions[4])
{
    const long long offset[4] = {-static_cast<long long>(mazeWidth), -1, mazeWidth, 1};
    int count = 0;
    for (int direction = UP; direction <= RIGHT; ++direction) {
        if (insideMaze(x + stepX[direction], y + stepY[direction]) && wanted(cell + offset[direction]))
            directions[count++] = direction;
    }
    return count;
}

// A zero-filled array that ends the run with fatal level 1 when it cannot be
// had, as the maze's other data does, and frees itself.
template <typename Element>
class CarvingArray {
public:
    explicit CarvingArray(long long count) : elements(allocateZeroed<Element>(count))
    {
        if (elements == nullptr)
            fatalExit(FATAL_ALLOCATION);
    }
    ~CarvingArray() { std::free(elements); }
    CarvingArray(const CarvingArray&) = delete;
    CarvingArray& operator=(const CarvingArray&) = delete;

    Element& operator[](long long index) { return elements[index]; }
    Element* data() { return elements; }

private:
    Element* elements;
};

// A bit a cell, all clear at first: which cells a carving has reached.
class CellBits {
public:
    explicit CellBits(long long cells) : words((cells + 63) / 64) {}

    bool test(long long cell) { return (words[cell >> 6] >> (cell & 63)) & 1; }
    void set(long long cell) { words[cell >> 6] |= std::uint64_t{1} << (cell & 63); }

private:
    CarvingArray<std::uint64_t> words;
};

#endif
