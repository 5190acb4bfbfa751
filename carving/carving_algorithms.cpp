#include "carving_algorithms.h"

#include "algorithms.h"
#include "carving.h"

// In the order --help and the manual page list them. Each figure counts the
// largest arrays the algorithm allocates, whole, even where it touches only
// part of them (Prim's frontier and the growing tree's list of active cells
// are allocated for every cell, and only a thin band of them is ever used).
// Paths measured from start to goal, in sides (W + H) of the maze, at 2000 x
// 2000, 8000 x 250 and 100 x 8000: backtracker 23 to 89; recursive division
// up to 9; Wilson's and Aldous-Broder's up to 5; the others up to 3.
const CarvingAlgorithm carvingAlgorithms[] = {
    {"kruskal", carveMaze, 0, 0, false},
    {"backtracker", carveByBacktracking, 8, 0, true},     // a byte a cell: reached, and the way back
    {"prim", carveByPrim, 8 + 32, 0, false},              // a byte of state and an int of frontier a cell
    {"wilson", carveByWilson, 8, 0, false},               // a byte: in the tree, and the way last left
    {"aldous-broder", carveByAldousBroder, 1, 0, false},  // a bit: reached
    {"hunt-and-kill", carveByHuntAndKill, 1, 0, false},   // a bit: reached
    {"eller", carveByEller, 0, 6 * sizeof(int), false},   // six ints a column
    {"sidewinder", carveBySidewinder, 0, 0, false},
    {"binary-tree", carveByBinaryTree, 0, 0, false},
    {"recursive-division", carveByRecursiveDivision, 0, 4 * sizeof(int), false},  // a room a side waiting
    {"growing-tree", carveByGrowingTree, 1 + 32, 0, false},  // a bit reached and an int of the list a cell
};
const int carvingAlgorithmCount = static_cast<int>(sizeof carvingAlgorithms / sizeof carvingAlgorithms[0]);

const CarvingAlgorithm& defaultCarving()
{
    return carvingAlgorithms[0];
}

const CarvingAlgorithm* findCarvingAlgorithm(const std::string& name)
{
    for (const CarvingAlgorithm& algorithm : carvingAlgorithms) {
        if (name == algorithm.name)
            return &algorithm;
    }
    return nullptr;
}

std::string carvingAlgorithmNames(const char* separator)
{
    std::string names;
    for (const CarvingAlgorithm& algorithm : carvingAlgorithms)
        names += (names.empty() ? "" : separator) + std::string(algorithm.name);
    return names;
}

unsigned long long carvingWorkingBytes(const CarvingAlgorithm& algorithm, unsigned long long width,
                                       unsigned long long height)
{
    // A 64-bit word of bits more than the cells need, and a side more than the maze's.
    return (width * height * algorithm.bitsPerCell + 63) / 64 * 8 + 8 + (width + height + 1) * algorithm.bytesPerSide;
}
