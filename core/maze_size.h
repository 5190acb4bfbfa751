// Which typed sizes describe a maze this program can build.
#ifndef MAZE_SIZE_H
#define MAZE_SIZE_H

// True for sizes refused right after they are typed: a cell or wall count
// beyond 32 bits, or a grid the wall list cannot describe (W = H = 0, a single
// column of two or more rows, two negative sizes). Sizes with a negative wall
// count are not refused here; allocating their wall list fails instead.
bool isRefusedSize(int width, int height);

#endif
