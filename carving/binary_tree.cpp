// The binary tree: every cell opens north or west at random, the one of them
// that is not the border where the other is, so the top row and the left
// column are corridors. Nothing is kept.
#include "algorithms.h"
#include "carving_grid.h"
#include "wide_random_source.h"

void carveByBinaryTree()
{
    for (int y = 0; y < mazeHeight; ++y) {
        for (int x = 0; x < mazeWidth; ++x) {
            if (y == 0 && x == 0)
                continue;
            if (y == 0)
                openToward(x, y, LEFT);
            else if (x == 0)
                openToward(x, y, UP);
            else
                openToward(x, y, drawCoin() ? UP : LEFT);
        }
    }
}
