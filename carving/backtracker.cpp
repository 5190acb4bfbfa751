// The depth-first backtracker: from a random cell, into a random neighbour not
// yet reached, backing up when there is none. Each cell keeps the direction
// it was entered from, so backing up needs no stack: a byte a cell.
#include "algorithms.h"
#include "carving_grid.h"
#include "wide_random_source.h"

namespace {

// In enteredFrom: 0 for a cell not reached yet, 1 + the direction back for one
// reached, startMark for the first.
constexpr unsigned char startMark = 5;

}  // namespace

void carveByBacktracking()
{
    const int width = mazeWidth;
    const long long cells = static_cast<long long>(width) * mazeHeight;
    CarvingArray<unsigned char> enteredFrom(cells);
    const long long offset[4] = {-width, -1, width, 1};

    long long cell = static_cast<long long>(drawBelow(static_cast<std::uint64_t>(cells)));
    int x = static_cast<int>(cell % width);
    int y = static_cast<int>(cell / width);
    enteredFrom[cell] = startMark;
    for (;;) {
        int choices[4];
        const int count = neighboursWhere(x, y, cell, [&](long long next) { return enteredFrom[next] == 0; }, choices);
        if (count > 0) {
            const int direction = choices[drawNeighbourChoice(count)];
            openToward(x, y, direction);
            x += stepX[direction];
            y += stepY[direction];
            cell += offset[direction];
            enteredFrom[cell] = static_cast<unsigned char>(1 + opposite(direction));
        } else {
            if (enteredFrom[cell] == startMark)
                return;
            const int back = enteredFrom[cell] - 1;
            x += stepX[back];
            y += stepY[back];
            cell += offset[back];
        }
    }
}
