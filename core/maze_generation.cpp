#include "maze_generation.h"

#include <ctime>

#include "carving.h"
#include "console.h"
#include "random_source.h"
#include "wall_list.h"

void generateMaze()
{
    seedRandomSource(static_cast<std::uint32_t>(std::time(nullptr)));
    promptDimensions();
    consolePrint("Generating maze...\n");
    createWallList();
    carveMaze();
    consolePrint("Done generating maze...\n");
}
