// The carvings other than Kruskal's (core/carving.h), one file each. Each
// removes walls from the closed wall list of mazeWidth x mazeHeight until it is
// a perfect maze, drawing from the 64-bit random source alone, and keeps its
// own stack instead of recursing, so any size carves on any stack.
#ifndef ALGORITHMS_H
#define ALGORITHMS_H

void carveByBacktracking();
void carveByPrim();
void carveByWilson();
void carveByAldousBroder();
void carveByHuntAndKill();
void carveByEller();
void carveBySidewinder();
void carveByBinaryTree();
void carveByRecursiveDivision();
void carveByGrowingTree();

#endif
