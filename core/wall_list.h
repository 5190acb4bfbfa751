// Building and querying the wall list declared in maze.h.
#ifndef WALL_LIST_H
#define WALL_LIST_H

#include "maze.h"

// Allocates walls for the current size and fills it with buildWallList.
// Fatal level 1 when it cannot be allocated, a negative wall count included.
void createWallList();

// Sets every wall of walls standing, and the border around them with the
// entrance above the start cell and the exit beside the goal cell open. Its
// records are laid out row by row, each cell contributing its wall to the
// right (if it has a right neighbour) and then its wall below (if it has one
// below).
void buildWallList();

// The present flag of the wall between cells (x1, y1) and (x2, y2): 0 for an
// open passage; 1 when the wall stands or when no wall joins the two cells.
unsigned char wallBetween(int x1, int y1, int x2, int y2);

// Where buildWallList puts the wall between cell (x, y) and its right
// neighbour, and the wall between it and the cell below: the record every
// reader and writer of one wall goes through, so that they need not know how
// the flags are kept.
long long rightWallRecord(long long x, long long y);
long long lowerWallRecord(long long x, long long y);

// The record at index: its two cells, as its place in the list gives them, and its flag.
Wall wallRecord(long long index);

// Whether the wall of a record stands; removing it opens a passage, restoring
// it closes one again.
bool wallStands(long long index);
void removeWall(long long index);
void restoreWall(long long index);

// Removes every wall of the list at once, the border left as it is: one step
// for whoever watches (step_watch.h), where removing them one by one would be
// a step each.
void openField();

// A copy of the wall list's planes, claimed once, for a reader that must not
// see them while another thread changes them; fatal level 1 when it cannot be
// allocated. Let go of it with releaseWallPlanes.
WallPlanes copyWallPlanes();

// Releases walls (the display may keep its bits; see wall_planes.h).
void freeWallList();

// Whether the walls are known to form a perfect maze, one path between any
// two cells: declared by the carving that made them so, and forgotten when a
// wall is removed or restored afterwards or a new list is created. The solver
// of a perfect maze needs far less than the search of any maze.
void declarePerfectMaze();
bool isKnownPerfectMaze();

#endif
