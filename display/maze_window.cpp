#include "maze_window.h"

#include <GL/glut.h>

#include "maze_picture.h"
#include "solution_overlay.h"
#include "view.h"
#include "window.h"

void showMazeWindow(int* argc, char** argv)
{
    openMazeWindow(argc, argv);
    glutDisplayFunc(displayMaze);
    glutKeyboardFunc(onKey);
    glutMouseFunc(onMouseButton);
    glutMotionFunc(onMouseDrag);
    compileMazeList();
}
