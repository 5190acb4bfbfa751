// Carving a perfect maze out of the closed grid: randomised Kruskal over the
// wall list.
#ifndef CARVING_H
#define CARVING_H

// Fills out[0 .. n-1] with a random permutation of 0 .. n-1, drawing once per
// element: the order carveMaze visits the walls in. Returns 0, or -1 when its
// scratch space cannot be allocated.
int shuffleIndices(int* out, int n);

// Visits every wall of walls in that order and removes it when the two cells
// it separates are not yet connected, leaving exactly one path between any
// two cells, and declares the maze perfect. The order is made as it is
// visited, on a second processor where there is one.
void carveMaze();

// The most carveMaze holds beside the walls themselves for a maze of the
// given size: the memory check counts it.
unsigned long long carvingWorkingBytes(int width, int height);

#endif
