// Carving a perfect maze out of the closed grid: randomised Kruskal over the
// wall list.
#ifndef CARVING_H
#define CARVING_H

// Fills out[0 .. n-1] with a random permutation of 0 .. n-1, drawing once per
// element. Returns 0, or -1 when its scratch space cannot be allocated.
int shuffleIndices(int* out, int n);

// Visits every wall of walls in a shuffled order and removes it when the two
// cells it separates are not yet connected, leaving exactly one path between
// any two cells.
void carveMaze();

#endif
