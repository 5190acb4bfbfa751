#include "maze_picture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "maze.h"

MazeListKind mazeListKindForRenderer()
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer == nullptr)
        return PLAIN_MAZE_LIST;
    const bool mesaSoftware = std::strncmp(renderer, "llvmpipe", 8) == 0 || std::strncmp(renderer, "softpipe", 8) == 0;
    return mesaSoftware ? UNSHARED_MAZE_LIST : PLAIN_MAZE_LIST;
}

void compileMazeList()
{
    compileMazeList(mazeListKindForRenderer());
}

void compileMazeList(MazeListKind kind)
{
    const int width = mazeWidth;
    const int height = mazeHeight;
    glClearColor(1, 1, 1, 0);
    glColor3f(0, 0, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(-1, width + 1, height + 1, -1);

    if (kind == UNSHARED_MAZE_LIST) {
        // The called list must exist before MAZE_LIST ends: Mesa 22 crashes
        // in glEndList on a call of a list it does not know.
        glNewList(EMPTY_LIST, GL_COMPILE);
        glEndList();
    }

    glNewList(MAZE_LIST, GL_COMPILE);
    if (kind == UNSHARED_MAZE_LIST) {
        glBegin(GL_LINES);
        glCallList(EMPTY_LIST);
        glEnd();
    }

    // Top and right edges, leaving the entrance above the start cell and the
    // exit beside the goal cell open.
    glBegin(GL_LINE_STRIP);
    glVertex2f(1, 0);
    glVertex2f(width, 0);
    glVertex2f(width, height - 1);
    glEnd();

    // Left and bottom edges, whole.
    glBegin(GL_LINE_STRIP);
    glVertex2f(0, 0);
    glVertex2f(0, height);
    glVertex2f(width, height);
    glEnd();

    if (kind == UNSHARED_MAZE_LIST) {
        // Ends the block of stored vertices that holds the border strips.
        // Mesa 22 reads past the end of its vertex buffer when a block of this
        // kind that holds line strips fills up, which the walls would make it do.
        glCallList(EMPTY_LIST);
    }

    // One primitive for all standing walls: the same picture as a primitive
    // per wall, without the per-primitive cost on large mazes.
    glBegin(GL_LINES);
    const int count = wallCount();
    for (int i = 0; i < count; ++i) {
        const Wall& wall = walls[i];
        if (wall.present != 1)
            continue;
        const float x = static_cast<float>(wall.cell1 % width);
        const float y = static_cast<float>(wall.cell1 / width);
        if (wall.cell2 == wall.cell1 + 1) {
            glVertex2f(x + 1, y);  // the vertical line between two cells side by side
            glVertex2f(x + 1, y + 1);
        } else {
            glVertex2f(x, y + 1);  // the horizontal line between two cells one above the other
            glVertex2f(x + 1, y + 1);
        }
    }
    glEnd();

    glEndList();
}
