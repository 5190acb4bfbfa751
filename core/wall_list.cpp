#include "wall_list.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "fatal_exit.h"
#include "maze.h"
#include "step_watch.h"
#include "zeroed_array.h"

namespace {

// The wall list's planes, which walls points at while the list exists.
// Written by createWallList and freeWallList (the run sequence, or
// maze_threaded's solver once done); the bits by carving, then read by every
// reader of walls.
WallPlanes listPlanes = {0, 0, 0, nullptr, nullptr};

// Written by declarePerfectMaze, createWallList, removeWall and restoreWall,
// on whichever thread carves; read by the solver, which starts after carving.
bool knownPerfect = false;

// Both planes are one allocation behind a header, a cache line long, that
// counts the holders.
constexpr std::size_t headerBytes = 64;
using Claims = std::atomic<int>;

Claims* claimsOf(const WallPlanes& planes)
{
    return reinterpret_cast<Claims*>(reinterpret_cast<char*>(planes.vertical) - headerBytes);
}

// The bit of the wall right of cell (x, y), or below it, in listPlanes.
struct WallBit {
    std::uint64_t* word;
    std::uint64_t mask;
};

WallBit rightWallBit(long long x, long long y)
{
    const long long line = x + 1;
    return WallBit{listPlanes.vertical + y * listPlanes.wordsPerRow + (line >> 6), std::uint64_t{1} << (line & 63)};
}

WallBit lowerWallBit(long long x, long long y)
{
    return WallBit{listPlanes.horizontal + (y + 1) * listPlanes.wordsPerRow + (x >> 6), std::uint64_t{1} << (x & 63)};
}

// Where a record lies: the cell it is right of or below, and which.
struct RecordPlace {
    long long x;
    long long y;
    bool below;
};

// Every row but the last holds 2W - 1 records, a right wall and a wall below
// per cell (the last cell has no right wall); the last row holds only its
// W - 1 right walls.
RecordPlace placeOf(long long index)
{
    const long long recordsPerRow = 2LL * mazeWidth - 1;
    const long long y = index / recordsPerRow;
    const long long place = index % recordsPerRow;
    if (y == mazeHeight - 1)
        return RecordPlace{place, y, false};
    const bool below = place % 2 == 1 || place == recordsPerRow - 1;
    return RecordPlace{place / 2, y, below};
}

WallBit bitOf(long long index)
{
    const RecordPlace place = placeOf(index);
    return place.below ? lowerWallBit(place.x, place.y) : rightWallBit(place.x, place.y);
}

bool hasGrid()
{
    return mazeWidth >= 1 && mazeHeight >= 1;
}

// Zeroed planes of a width x height maze behind their header, claimed once.
WallPlanes allocatePlanes(int width, int height)
{
    const unsigned long long planeBytes = wallPlaneBytes(width, height);
    char* block = allocateZeroed<char>(static_cast<long long>(headerBytes + planeBytes));
    if (block == nullptr)
        fatalExit(FATAL_ALLOCATION);
    new (block) Claims(1);
    std::uint64_t* const firstWord = reinterpret_cast<std::uint64_t*>(block + headerBytes);
    const int words = planeWordsPerRow(width);
    return WallPlanes{width, height, words, firstWord, firstWord + static_cast<long long>(height) * words};
}

}  // namespace

// The wall list: created by createWallList, carved by carveMaze (main
// thread), then read by the picture and the solver. Freed once by its last
// reader: the serial run sequence once the display holds the bits, or the
// threaded program's solver when it is done.
WallPlanes* walls = nullptr;

WallPlanes claimWallPlanes(const WallPlanes& planes)
{
    if (planes.vertical != nullptr)
        claimsOf(planes)->fetch_add(1);
    return planes;
}

void releaseWallPlanes(const WallPlanes& planes)
{
    if (planes.vertical == nullptr)
        return;
    Claims* claims = claimsOf(planes);
    if (claims->fetch_sub(1) == 1) {
        claims->~Claims();
        std::free(claims);
    }
}

void createWallList()
{
    freeWallList();
    knownPerfect = false;
    if (wallCount() < 0)
        fatalExit(FATAL_ALLOCATION);
    listPlanes = allocatePlanes(hasGrid() ? mazeWidth : 0, hasGrid() ? mazeHeight : 0);
    walls = &listPlanes;
    buildWallList();
}

WallPlanes copyWallPlanes()
{
    const WallPlanes copy = allocatePlanes(listPlanes.width, listPlanes.height);
    if (listPlanes.vertical != nullptr)
        std::memcpy(copy.vertical, listPlanes.vertical, wallPlaneBytes(listPlanes.width, listPlanes.height));
    return copy;
}

void buildWallList()
{
    const int width = listPlanes.width;
    const int height = listPlanes.height;
    if (width == 0 || height == 0)
        return;
    const int words = listPlanes.wordsPerRow;
    std::uint64_t* const vertical = listPlanes.vertical;
    std::uint64_t* const horizontal = listPlanes.horizontal;
    // A row of either plane with every line from 0 to `last` drawn.
    auto fillRow = [words](std::uint64_t* row, long long last) {
        const long long fullWords = (last + 1) / 64;
        std::memset(row, 0xff, static_cast<std::size_t>(fullWords) * sizeof(std::uint64_t));
        if ((last + 1) % 64 != 0)
            row[fullWords] = (std::uint64_t{1} << ((last + 1) % 64)) - 1;
        for (long long word = fullWords + 1; word < words; ++word)
            row[word] = 0;
    };
    // Inside, every wall stands; horizontal row 0 is the top border (open
    // above the start cell) and row H the bottom one; vertical line 0 of
    // each row is the left border, line W the right one (open beside the goal).
    for (int y = 0; y < height; ++y)
        fillRow(vertical + static_cast<long long>(y) * words, width);
    for (long long y = 0; y <= height; ++y)
        fillRow(horizontal + y * words, width - 1);
    horizontal[0] &= ~std::uint64_t{1};
    std::uint64_t* const lastRow = vertical + static_cast<long long>(height - 1) * words;
    lastRow[width >> 6] &= ~(std::uint64_t{1} << (width & 63));
}

long long rightWallRecord(long long x, long long y)
{
    const long long rowStart = y * (2LL * mazeWidth - 1);
    return y < mazeHeight - 1 ? rowStart + 2 * x : rowStart + x;
}

long long lowerWallRecord(long long x, long long y)
{
    return y * (2LL * mazeWidth - 1) + 2 * x + (x < mazeWidth - 1 ? 1 : 0);
}

Wall wallRecord(long long index)
{
    const RecordPlace place = placeOf(index);
    const int cell = static_cast<int>(place.x + place.y * mazeWidth);
    return Wall{cell, place.below ? cell + mazeWidth : cell + 1, static_cast<unsigned char>(wallStands(index) ? 1 : 0)};
}

// A list without a grid (a size refused before any list is made) has no
// bits: its records all stand.
bool wallStands(long long index)
{
    if (listPlanes.height == 0)
        return true;
    const WallBit bit = bitOf(index);
    return (*bit.word & bit.mask) != 0;
}

namespace {

// Sets the flag of a record's wall, and tells whoever watches the carving.
void setWallStanding(long long index, bool stands)
{
    if (listPlanes.height == 0)
        return;
    const WallBit bit = bitOf(index);
    *bit.word = stands ? *bit.word | bit.mask : *bit.word & ~bit.mask;
    knownPerfect = false;
    if (stepWatch != nullptr)
        stepWatch->wallChanged(bit.word);
}

}  // namespace

void removeWall(long long index)
{
    setWallStanding(index, false);
}

void restoreWall(long long index)
{
    setWallStanding(index, true);
}

void openField()
{
    const long long records = wallCount();
    if (listPlanes.height == 0 || records <= 0)
        return;
    for (long long index = 0; index < records; ++index) {
        const WallBit bit = bitOf(index);
        *bit.word &= ~bit.mask;
    }
    knownPerfect = false;
    if (stepWatch != nullptr)
        stepWatch->fieldOpened();
}

void declarePerfectMaze()
{
    knownPerfect = true;
}

bool isKnownPerfectMaze()
{
    return knownPerfect;
}

namespace {

// Cell index of (x, y) in the 32-bit wrap-around arithmetic callers outside
// the grid may push it into.
int cellIndex(int x, int y)
{
    return static_cast<int>(static_cast<unsigned>(x) + static_cast<unsigned>(y) * static_cast<unsigned>(mazeWidth));
}

// Position in walls of the record joining cells p and q, or -1 when no record does.
long long recordIndex(int p, int q)
{
    const long long width = mazeWidth;
    const long long lower = p < q ? p : q;
    const long long higher = p < q ? q : p;
    if (lower < 0 || lower >= width * mazeHeight)
        return -1;
    const long long x = lower % width;
    const long long y = lower / width;
    // Checked first: in a single column the cell below is also the next index.
    if (higher - lower == width && y < mazeHeight - 1)
        return lowerWallRecord(x, y);
    if (higher - lower == 1 && x < width - 1)
        return rightWallRecord(x, y);
    return -1;
}

}  // namespace

unsigned char wallBetween(int x1, int y1, int x2, int y2)
{
    if (wallCount() <= 0 || !hasGrid())
        return 1;
    // Neighbours inside the grid are answered from their coordinates, without
    // dividing. Anything else goes through the cell indices, where
    // coordinates outside the grid alias other cells just as they always have.
    const bool inside = x1 >= 0 && x1 < mazeWidth && y1 >= 0 && y1 < mazeHeight && x2 >= 0 && x2 < mazeWidth &&
                        y2 >= 0 && y2 < mazeHeight;
    if (inside && y1 == y2 && (x2 - x1 == 1 || x1 - x2 == 1)) {
        const WallBit bit = rightWallBit(x1 < x2 ? x1 : x2, y1);
        return (*bit.word & bit.mask) != 0;
    }
    if (inside && x1 == x2 && (y2 - y1 == 1 || y1 - y2 == 1)) {
        const WallBit bit = lowerWallBit(x1, y1 < y2 ? y1 : y2);
        return (*bit.word & bit.mask) != 0;
    }
    const long long index = recordIndex(cellIndex(x1, y1), cellIndex(x2, y2));
    return index < 0 ? 1 : (wallStands(index) ? 1 : 0);
}

void freeWallList()
{
    if (walls == nullptr)
        return;
    releaseWallPlanes(listPlanes);
    listPlanes = WallPlanes{0, 0, 0, nullptr, nullptr};
    walls = nullptr;
}
