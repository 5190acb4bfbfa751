#include "maze_generation.h"

#include "carving.h"
#include "console.h"
#include "wall_list.h"

// Written once by the run's plan, before carving; read by carveNewMaze.
void (*mazeCarving)() = carveMaze;

void carveNewMaze()
{
    createWallList();
    carveCreatedMaze();
}

void carveCreatedMaze()
{
    mazeCarving();
    consolePrint("Done generating maze...\n");
}
