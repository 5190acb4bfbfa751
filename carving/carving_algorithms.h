// The carving algorithms a run may choose by name, and what each needs.
#ifndef CARVING_ALGORITHMS_H
#define CARVING_ALGORITHMS_H

#include <string>

struct CarvingAlgorithm {
    const char* name;  // as --algorithm takes it
    void (*carve)();   // carves the closed wall list into a perfect maze
    // What it holds beside the wall list while it carves, for the memory
    // check: bits a cell, and bytes a cell of the width and the height
    // together. Kruskal's, the default, is weighed by its walls instead.
    unsigned long long bitsPerCell;
    unsigned long long bytesPerSide;
    // Whether its path from the start to the goal may wind through a large
    // share of the cells (the backtracker's runs through a tenth of them and
    // more), rather than stay within the bound the solver counts a carved
    // maze's path with (solutionMovesBound: below 10 times the sides measured).
    bool longSolutions;
};

extern const CarvingAlgorithm carvingAlgorithms[];
extern const int carvingAlgorithmCount;

// Kruskal's, core's carving: the first of the table.
const CarvingAlgorithm& defaultCarving();

// The algorithm of that name, or nullptr.
const CarvingAlgorithm* findCarvingAlgorithm(const std::string& name);

// Every name, separated by separator.
std::string carvingAlgorithmNames(const char* separator);

// The most the algorithm holds while carving a width x height maze (at least
// one cell a side), beside the wall list.
unsigned long long carvingWorkingBytes(const CarvingAlgorithm& algorithm, unsigned long long width,
                                       unsigned long long height);

#endif
