#include "maze_generation.h"

#include <ctime>

#include "carving.h"
#include "console.h"
#include "fatal_exit.h"
#include "random_source.h"
#include "wall_list.h"

void generateMaze(RunSequence sequence)
{
    seedRandomSource(static_cast<std::uint32_t>(std::time(nullptr)));
    promptDimensions();
    consolePrint("Generating maze...\n");
    if (!runFitsInMemory(sequence))
        fatalExit(FATAL_ALLOCATION);
    if (!runThreadsCanStart(sequence))
        fatalExit(FATAL_THREAD_START);
    createWallList();
    carveMaze();
    consolePrint("Done generating maze...\n");
}
