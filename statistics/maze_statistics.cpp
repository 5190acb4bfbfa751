#include "maze_statistics.h"

#include <cstdio>

#include "maze.h"
#include "wall_list.h"

MazeStatistics measureMaze()
{
    const int width = mazeWidth;
    const int height = mazeHeight;
    MazeStatistics statistics{static_cast<long long>(width) * height, 0, 0, 0};
    // A cell's wall on the left is the cell before's on the right, kept from it.
    for (int y = 0; y < height; ++y) {
        bool openLeft = false;
        for (int x = 0; x < width; ++x) {
            const bool openRight = x + 1 < width && !wallStands(rightWallRecord(x, y));
            const bool openDown = y + 1 < height && !wallStands(lowerWallRecord(x, y));
            const bool openUp = y > 0 && !wallStands(lowerWallRecord(x, y - 1));
            const int ways = openLeft + openRight + openDown + openUp;
            statistics.deadEnds += ways == 1;
            statistics.junctions += ways >= 3;
            statistics.passages += openRight + openDown;
            openLeft = openRight;
        }
    }
    return statistics;
}

long long loopsOf(const MazeStatistics& statistics)
{
    return statistics.passages - (statistics.cells - 1);
}

void printMazeStatistics(const MazeStatistics& statistics, int solutionMoves)
{
    // Tenths of a percent, rounded half up, in integers: the same on every machine.
    const long long tenths = statistics.cells > 0 ? (statistics.deadEnds * 1000 + statistics.cells / 2) / statistics.cells : 0;
    std::fprintf(stderr, "maze: %d x %d cells, %lld dead ends (%lld.%lld %%), %lld junctions, %lld loops, solution %lld cells\n",
                 mazeWidth, mazeHeight, statistics.deadEnds, tenths / 10, tenths % 10, statistics.junctions,
                 loopsOf(statistics), static_cast<long long>(solutionMoves) + 1);
    std::fflush(stderr);
}
