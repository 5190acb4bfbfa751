#include "drawn_walls.h"

#include "maze.h"

// Written by keepWallPlanes on the GLUT thread before any view is drawn (and
// by the show before its thread that carves exists); read afterwards by that
// thread and the helpers it starts. Its bits change only while the show runs,
// in the show's copy, under showLock (show_state.h).
WallPlanes wallPlanes = {0, 0, 0, nullptr, nullptr};

void keepWallPlanes()
{
    keepWallPlanes(walls != nullptr ? *walls : WallPlanes{0, 0, 0, nullptr, nullptr});
}

void keepWallPlanes(const WallPlanes& planes)
{
    const WallPlanes earlier = wallPlanes;
    wallPlanes = claimWallPlanes(planes);
    releaseWallPlanes(earlier);
}
