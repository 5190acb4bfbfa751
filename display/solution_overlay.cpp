#include "solution_overlay.h"

#include <GL/glut.h>

#include <cstdlib>

#include "maze.h"
#include "maze_picture.h"
#include "solution.h"
#include "view.h"
#include "window_room.h"

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

// Once solved, the solution line, compiled on the first redraw after solving
// whether shown or not; drawn in the current view when asked for and there
// is a picture on the window to draw it over.
void drawSolution(bool overPicture)
{
    if (!isSolved())
        return;
    if (solutionListBuilt == 0) {
        compileSolutionList();
        std::free(solutionCells);
        solutionCells = nullptr;
        solutionListBuilt = 1;
    }
    if (showSolution == 1 && overPicture) {
        glColor3f(1, 0, 0);
        glCallList(SOLUTION_LIST);
    }
}

}  // namespace

void drawMoreOfPicture()
{
    // Taken up again by the redraw that follows the size the window was asked to take.
    if (windowAwaitingSize()) {
        glutIdleFunc(nullptr);
        return;
    }
    const bool complete = drawMoreOfMazePicture();
    noteWindowDrawn();
    if (!complete)
        return;
    glutIdleFunc(nullptr);
    applyViewProjection();
    drawSolution(true);
    glFlush();
}

void displayMaze()
{
    // Drawn at a size that does not fit, the driver's buffers would grow past
    // the room the window has; the size it was asked to take is drawn instead.
    if (windowAwaitingSize()) {
        glutIdleFunc(nullptr);
        return;
    }
    applyViewProjection();
    const PictureState picture = drawMazePicture(mazeView);
    // A redraw asked for while an earlier view was still being made replaces it.
    glutIdleFunc(picture == PICTURE_COMPLETE ? nullptr : drawMoreOfPicture);
    // Nothing is drawn over a window that shows no picture yet.
    drawSolution(picture != PICTURE_PENDING);
    glFlush();  // single-buffered: nothing to swap
    noteWindowDrawn();
}

void onKey(unsigned char key, int, int)
{
    if (key != ' ' || !isSolved())
        return;
    showSolution = !showSolution;
    glutPostRedisplay();
}
