// Building and querying the wall list declared in maze.h.
#ifndef WALL_LIST_H
#define WALL_LIST_H

// Allocates walls for the current size, sets every record to (-1, -1, standing)
// and fills it with buildWallList. Fatal level 1 when it cannot be allocated,
// a negative wall count included.
void createWallList();

// Fills walls row by row, each cell contributing its wall to the right (if it
// has a right neighbour) and then its wall below (if it has one below), each
// standing.
void buildWallList();

// The present flag of the wall between cells (x1, y1) and (x2, y2): 0 for an
// open passage; 1 when the wall stands or when no wall joins the two cells.
unsigned char wallBetween(int x1, int y1, int x2, int y2);

// Releases walls.
void freeWallList();

#endif
