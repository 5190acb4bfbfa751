#include "maze_rows.h"

#include "maze.h"
#include "wall_list.h"

WallRowReader::WallRowReader() : nextRecord(0), nextRow(0) {}

void WallRowReader::readRow(std::vector<unsigned char>& rightStands, std::vector<unsigned char>& belowStands)
{
    const int width = mazeWidth;
    const bool lastRow = nextRow == mazeHeight - 1;
    rightStands.assign(width > 0 ? width - 1 : 0, 1);
    belowStands.assign(lastRow ? 0 : width, 1);
    for (int x = 0; x < width; ++x) {
        if (x + 1 != width)
            rightStands[x] = wallStands(nextRecord++);
        if (!lastRow)
            belowStands[x] = wallStands(nextRecord++);
    }
    ++nextRow;
}

StandingLines::StandingLines() = default;

void StandingLines::advanceTo(int y)
{
    while (lastRead < y) {
        ++lastRead;
        Row& row = kept[lastRead & 1];
        row.y = lastRead;
        reader.readRow(row.rightStands, row.belowStands);
    }
}

bool StandingLines::horizontal(int k, int x) const
{
    if (k == 0)
        return x != 0;
    if (k == mazeHeight)
        return true;
    return rowOf(k - 1).belowStands[x] != 0;
}

bool StandingLines::vertical(int y, int k) const
{
    if (k == 0)
        return true;
    if (k == mazeWidth)
        return y != mazeHeight - 1;
    return rowOf(y).rightStands[k - 1] != 0;
}

std::vector<bool> cellsOnPath(const SolutionPath& solution)
{
    std::vector<bool> onPath(static_cast<std::size_t>(mazeWidth) * static_cast<std::size_t>(mazeHeight), false);
    onPath[onPath.size() - 1] = true;
    for (int i = 0; i < solution.moves; ++i)
        onPath[static_cast<std::size_t>(solution.cells[i])] = true;
    return onPath;
}
