// Eller's algorithm: row by row, each cell in a set of the cells it is joined
// to so far. Neighbours in a row of different sets are joined at random, then
// every set opens at least one passage down (one cell of it chosen at random,
// the others each at random), and the cells below that no passage reaches
// start sets of their own. The last row joins every neighbour of another set.
// Only a row's sets are kept, as a disjoint-set forest over labels below the
// width: memory grows with the width, not the area.
#include <algorithm>

#include "algorithms.h"
#include "carving_grid.h"
#include "wide_random_source.h"

namespace {

int root(int* parent, int label)
{
    while (parent[label] != label) {
        parent[label] = parent[parent[label]];
        label = parent[label];
    }
    return label;
}

}  // namespace

void carveByEller()
{
    const int width = mazeWidth;
    const int height = mazeHeight;
    CarvingArray<int> label(width);      // each cell's label in this row
    CarvingArray<int> nextLabel(width);  // the same for the row below
    CarvingArray<int> parent(width);     // the forest over this row's labels
    CarvingArray<int> members(width);    // per set: its cells seen so far
    CarvingArray<int> chosen(width);     // per set: the cell sure to open down
    CarvingArray<int> renamed(width);    // per set: its label in the row below, or -1
    for (int x = 0; x < width; ++x) {
        label[x] = x;
        renamed[x] = -1;
    }

    for (int y = 0; y < height; ++y) {
        const bool lastRow = y == height - 1;
        for (int x = 0; x < width; ++x)
            parent[x] = x;
        for (int x = 0; x + 1 < width; ++x) {
            const int left = root(parent.data(), label[x]);
            const int right = root(parent.data(), label[x + 1]);
            if (left != right && (lastRow || drawCoin())) {
                openToward(x, y, RIGHT);
                parent[right] = left;
            }
        }
        if (lastRow)
            break;

        // One cell of each set chosen as a reservoir sample, so each is as likely.
        for (int x = 0; x < width; ++x)
            members[root(parent.data(), label[x])] = 0;
        for (int x = 0; x < width; ++x) {
            const int set = root(parent.data(), label[x]);
            if (drawBelow(static_cast<std::uint64_t>(++members[set])) == 0)
                chosen[set] = x;
        }
        int labelsGiven = 0;
        for (int x = 0; x < width; ++x) {
            const int set = root(parent.data(), label[x]);
            nextLabel[x] = -1;
            if (chosen[set] == x || drawCoin()) {
                openToward(x, y, DOWN);
                if (renamed[set] < 0)
                    renamed[set] = labelsGiven++;
                nextLabel[x] = renamed[set];
            }
        }
        for (int x = 0; x < width; ++x) {
            renamed[root(parent.data(), label[x])] = -1;
            if (nextLabel[x] < 0)
                nextLabel[x] = labelsGiven++;
        }
        std::swap_ranges(label.data(), label.data() + width, nextLabel.data());
    }
}
