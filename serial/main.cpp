// maze_serial: carves, solves to the end, saves the picture asked for, and
// only then opens the window, so the space bar works from the first frame.
// With --watch the window opens first and shows the carving and the solving,
// drawn between their steps.
#include <GL/glut.h>

#include "command_line.h"
#include "console.h"
#include "maze_generation.h"
#include "maze_show.h"
#include "maze_solver.h"
#include "maze_window.h"
#include "memory_budget.h"
#include "picture_file.h"
#include "random_source.h"
#include "solution.h"
#include "solution_overlay.h"
#include "standard_descriptors.h"
#include "wall_list.h"

int main(int argc, char** argv)
{
    openClosedStandardDescriptors();
    const CommandLine options = readCommandLine(&argc, argv, "maze_serial");
    keepRunningWhenReadersGo();
    showSolution = 0;
    const std::uint32_t seed = chooseSeed(options);
    seedRandomSource(seed);
    takeMazeSize(options);
    consolePrint("Generating maze...\n");
    checkRunFits(SOLVE_THEN_SHOW, plannedRunOutputs(options, argc, argv));
    if (options.watches) {
        // The window opens on the closed grid; its frames are drawn between the steps.
        createWallList();
        startShow(&argc, argv, options.pace, true);
        carveCreatedMaze();
    } else {
        carveNewMaze();
    }
    MazeSolver solver;
    solver.run();
    if (options.watches)
        endShow();
    if (options.savesPicture)
        saveMazePicture(options.picture, seed, solutionCells, solutionMoves);
    if (!options.opensWindow)
        return 0;
    if (!options.watches)
        showMazeWindow(&argc, argv);
    freeWallList();
    glutMainLoop();
    return 0;
}
