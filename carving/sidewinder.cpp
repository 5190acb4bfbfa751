// The sidewinder: the top row one corridor; in every other row, runs of cells
// joined eastward, each run closed at random (or at the east side) by one
// passage north from a random cell of it. Nothing is kept but the run's start.
#include "algorithms.h"
#include "carving_grid.h"
#include "wide_random_source.h"

void carveBySidewinder()
{
    const int width = mazeWidth;
    for (int x = 0; x + 1 < width; ++x)
        openToward(x, 0, RIGHT);
    for (int y = 1; y < mazeHeight; ++y) {
        int runStart = 0;
        for (int x = 0; x < width; ++x) {
            if (x + 1 == width || drawCoin()) {
                const int north = runStart + static_cast<int>(drawBelow(static_cast<std::uint64_t>(x - runStart + 1)));
                openToward(north, y, UP);
                runStart = x + 1;
            } else {
                openToward(x, y, RIGHT);
            }
        }
    }
}
