#include "maze_generation.h"

#include "carving.h"
#include "console.h"
#include "wall_list.h"

void carveNewMaze()
{
    createWallList();
    carveMaze();
    consolePrint("Done generating maze...\n");
}
