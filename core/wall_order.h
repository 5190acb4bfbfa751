// The random order carving visits the walls in, produced as it is consumed.
#ifndef WALL_ORDER_H
#define WALL_ORDER_H

#include "random_source.h"

// A random permutation of 0 .. n - 1, one draw per element: each pick is
// swapped to the end of the unpicked region, so the next draw chooses among
// the elements not yet taken. A draw never exceeds largestDraw, so while more
// than largestDraw + 1 elements remain the pick comes from the first
// largestDraw + 1 positions, and the position at the end of the unpicked
// region has never been written: it holds its own index. So the order needs
// those positions alone, however long it is; the mazes of a given seed depend
// on exactly this.
class WallOrder {
public:
    WallOrder();
    ~WallOrder();

    WallOrder(const WallOrder&) = delete;
    WallOrder& operator=(const WallOrder&) = delete;

    // Starts the order of n elements; false when its scratch space cannot be
    // allocated.
    bool start(int n);

    // The next element of the order; there are n in all.
    int next()
    {
        const int draw = drawRandom();
        const int last = count - 1 - taken;
        ++taken;
        int picked;
        if (last >= reachable) {
            picked = scratch[draw];
            scratch[draw] = last;
        } else {
            const int remaining = last + 1;
            const int k = remaining > largestDraw ? draw : draw % remaining;
            picked = scratch[k];
            scratch[k] = scratch[last];
            scratch[last] = picked;
        }
        return picked;
    }

    // The scratch space's size: the positions a draw can reach, for the memory check.
    static constexpr long long scratchBytes = (largestDraw + 1LL) * sizeof(int);

private:
    int* scratch;   // the positions a draw can reach, or all n when fewer
    int count;      // n
    int taken;      // elements produced so far
    int reachable;  // positions in scratch
};

#endif
