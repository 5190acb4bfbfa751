// maze_serial: carves, solves to the end, and only then opens the window, so
// the space bar works from the first frame.
#include <GL/glut.h>

#include "maze_generation.h"
#include "maze_solver.h"
#include "maze_window.h"
#include "solution_overlay.h"
#include "standard_descriptors.h"
#include "wall_list.h"

int main(int argc, char** argv)
{
    openClosedStandardDescriptors();
    showSolution = 0;
    generateMaze(SOLVE_THEN_SHOW);
    MazeSolver solver;
    solver.run();
    showMazeWindow(&argc, argv);
    freeWallList();
    glutMainLoop();
    return 0;
}
