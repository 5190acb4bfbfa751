#include "solution_overlay.h"

#include <GL/glut.h>

#include <cstdlib>

#include "maze.h"
#include "maze_picture.h"
#include "solution.h"
#include "view.h"

// The overlay's state, GLUT thread only. showSolution: reset by the run
// sequence, toggled by onKey, read by displayMaze. solutionListBuilt: set once
// by displayMaze when it compiles SOLUTION_LIST.
unsigned char showSolution = 0;
unsigned char solutionListBuilt = 0;

namespace {

// A line from the centre of the goal through the centre of every solution
// cell back to the start.
void compileSolutionList()
{
    const int width = mazeWidth;
    glNewList(SOLUTION_LIST, GL_COMPILE);
    glBegin(GL_LINE_STRIP);
    glVertex2f(width - 0.5f, mazeHeight - 0.5f);
    for (int i = 0; i < solutionMoves; ++i) {
        const int cell = solutionCells[i];
        glVertex2f(cell % width + 0.5f, cell / width + 0.5f);
    }
    glEnd();
    glEndList();
}

// Once solved and asked for, the solution line in the current view; the first
// time after solving it is compiled, whether shown or not.
void drawSolution()
{
    if (!isSolved())
        return;
    if (solutionListBuilt == 0) {
        compileSolutionList();
        std::free(solutionCells);
        solutionCells = nullptr;
        solutionListBuilt = 1;
    }
    if (showSolution == 1) {
        glColor3f(1, 0, 0);
        glCallList(SOLUTION_LIST);
    }
}

}  // namespace

void drawMoreOfPicture()
{
    if (drawMoreOfMazePicture()) {
        glutIdleFunc(nullptr);
        drawSolution();
    }
    glFlush();
}

void displayMaze()
{
    applyViewProjection();
    const bool complete = drawMazePicture(mazeView);
    // A redraw asked for while an earlier picture was still being drawn replaces it.
    glutIdleFunc(complete ? nullptr : drawMoreOfPicture);
    if (complete)
        drawSolution();
    glFlush();  // single-buffered: nothing to swap
}

void onKey(unsigned char key, int, int)
{
    if (key != ' ' || !isSolved())
        return;
    showSolution = !showSolution;
    glutPostRedisplay();
}
