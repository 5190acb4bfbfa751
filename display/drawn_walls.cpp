#include "drawn_walls.h"

#include "maze.h"

// Written by keepWallPlanes on the GLUT thread before any view is drawn; only
// read afterwards, by that thread and the helpers it starts.
WallPlanes wallPlanes = {0, 0, 0, nullptr, nullptr};

void keepWallPlanes()
{
    releaseWallPlanes(wallPlanes);
    wallPlanes = walls != nullptr ? claimWallPlanes(*walls) : WallPlanes{0, 0, 0, nullptr, nullptr};
}
