// The walls the display draws: the maze's own bits (core/wall_planes.h), kept
// by the display once the window shows the maze, after the wall list itself
// is freed.
#ifndef DRAWN_WALLS_H
#define DRAWN_WALLS_H

#include "wall_planes.h"

// The planes of the current maze: written by keepWallPlanes, read by the
// pictures on the GLUT thread and by the threads that help it compute a view.
extern WallPlanes wallPlanes;

// Takes a holder's claim on the planes of walls into wallPlanes, letting go
// of those of an earlier maze: nothing is copied.
void keepWallPlanes();

// The same with the given planes: the show's copy of the walls.
void keepWallPlanes(const WallPlanes& planes);

#endif
