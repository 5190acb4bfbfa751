#include "maze_window.h"

#include <GL/glut.h>

#include "maze_picture.h"
#include "solution_overlay.h"
#include "view.h"
#include "window.h"
#include "window_room.h"

void showMazeWindow(int* argc, char** argv)
{
    openMazeWindow(argc, argv);
    glutDisplayFunc(displayMaze);
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKey);
    glutMouseFunc(onMouseButton);
    glutMotionFunc(onMouseDrag);
    compileMazeList();
}
