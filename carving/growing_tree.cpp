// The growing tree: a list of active cells, first a random one; the next cell
// taken is the newest half of the time and a random one otherwise. It opens
// into a random neighbour not yet reached, which joins the list, or, having
// none, leaves the list. Cells that leave are marked and swept out once they
// are half the list, so the list keeps its order (and its newest cell) at a
// linear cost, and a random pick needs two tries at most on average.
#include "algorithms.h"
#include "carving_grid.h"
#include "wide_random_source.h"

namespace {

constexpr int gone = -1;

}  // namespace

void carveByGrowingTree()
{
    const int width = mazeWidth;
    const long long cells = static_cast<long long>(width) * mazeHeight;
    CellBits reached(cells);
    CarvingArray<int> active(cells);  // each cell joins once; pages beyond those used are never touched
    long long listed = 0;              // entries of active, gone ones included
    long long goneListed = 0;
    const long long offset[4] = {-width, -1, width, 1};

    const long long first = static_cast<long long>(drawBelow(static_cast<std::uint64_t>(cells)));
    reached.set(first);
    active[listed++] = static_cast<int>(first);
    while (listed > goneListed) {
        long long index;
        if (drawCoin()) {
            index = listed - 1;  // never gone: gone entries at the end are dropped at once
        } else {
            do
                index = static_cast<long long>(drawBelow(static_cast<std::uint64_t>(listed)));
            while (active[index] == gone);
        }
        const long long cell = active[index];
        // In 32 bits, which divide several times faster: no maze has 2^31 cells.
        const int x = static_cast<int>(static_cast<unsigned>(cell) % static_cast<unsigned>(width));
        const int y = static_cast<int>(static_cast<unsigned>(cell) / static_cast<unsigned>(width));
        int choices[4];
        const int count = neighboursWhere(x, y, cell, [&](long long next) { return !reached.test(next); }, choices);
        if (count > 0) {
            const int direction = choices[drawNeighbourChoice(count)];
            openToward(x, y, direction);
            reached.set(cell + offset[direction]);
            active[listed++] = static_cast<int>(cell + offset[direction]);
            continue;
        }
        active[index] = gone;
        ++goneListed;
        while (listed > 0 && active[listed - 1] == gone) {
            --listed;
            --goneListed;
        }
        if (goneListed * 2 > listed) {
            long long kept = 0;
            for (long long i = 0; i < listed; ++i) {
                if (active[i] != gone)
                    active[kept++] = active[i];
            }
            listed = kept;
            goneListed = 0;
        }
    }
}
