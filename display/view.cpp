#include "view.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include <algorithm>
#include <cmath>

#include "maze.h"

// The view the window shows. Written by onMouseButton and onMouseDrag, read by
// displayMaze through applyViewProjection and by the picture to find the
// tiles in view; GLUT thread only, so the threaded program's solver never
// sees it. Starts, like every run, at the full view.
MazeView mazeView = {0, 0, 0};

namespace {

// Freeglut reports the wheel as buttons 3 (forward, X button 4) and 4 (back).
constexpr int wheelForwardButton = 3;
constexpr int wheelBackButton = 4;

// The most zoom leaves this many cells across the maze's shorter direction.
constexpr double closestViewCells = 4;

// The drag in progress, GLUT thread only: set by onMouseButton when the left
// button goes down (and again when the wheel zooms during the drag), read by
// onMouseDrag. The view follows the pointer from where the drag started.
bool dragging = false;
int dragStartX = 0;
int dragStartY = 0;
MazeView viewAtDragStart = {0, 0, 0};

// The view's size in cells at a zoom: at none, the maze and a cell of margin
// on each side.
double spanX(int zoomSteps)
{
    return (mazeWidth + 2.0) / std::pow(zoomPerStep, zoomSteps);
}

double spanY(int zoomSteps)
{
    return (mazeHeight + 2.0) / std::pow(zoomPerStep, zoomSteps);
}

// The view moved as little as needed to show only what the full view shows,
// so that zooming out ends where it started and the maze never leaves.
MazeView keptWithinMaze(MazeView view)
{
    if (view.zoomSteps == 0)
        return fullView();
    const double halfSpanX = spanX(view.zoomSteps) / 2;
    const double halfSpanY = spanY(view.zoomSteps) / 2;
    view.centreX = std::clamp(view.centreX, -1 + halfSpanX, mazeWidth + 1.0 - halfSpanX);
    view.centreY = std::clamp(view.centreY, -1 + halfSpanY, mazeHeight + 1.0 - halfSpanY);
    return view;
}

// Shows a view and asks for a redraw, unless nothing changes.
void showView(const MazeView& view)
{
    if (view.zoomSteps == mazeView.zoomSteps && view.centreX == mazeView.centreX && view.centreY == mazeView.centreY)
        return;
    mazeView = view;
    glutPostRedisplay();
}

}  // namespace

MazeView fullView()
{
    return MazeView{0, mazeWidth / 2.0, mazeHeight / 2.0};
}

int mostZoomSteps()
{
    int steps = 0;
    while (std::min(spanX(steps + 1), spanY(steps + 1)) >= closestViewCells)
        ++steps;
    return steps;
}

ViewRectangle viewRectangle(const MazeView& view)
{
    if (view.zoomSteps == 0)
        return ViewRectangle{-1, -1, mazeWidth + 1.0, mazeHeight + 1.0};
    const double halfSpanX = spanX(view.zoomSteps) / 2;
    const double halfSpanY = spanY(view.zoomSteps) / 2;
    return ViewRectangle{view.centreX - halfSpanX, view.centreY - halfSpanY, view.centreX + halfSpanX,
                         view.centreY + halfSpanY};
}

MazeView zoomedAbout(const MazeView& view, int steps, double pointerFractionX, double pointerFractionY)
{
    const int zoomSteps = std::clamp(view.zoomSteps + steps, 0, mostZoomSteps());
    if (zoomSteps == view.zoomSteps)
        return view;
    const ViewRectangle shown = viewRectangle(view);
    const double pointerX = shown.left + pointerFractionX * (shown.right - shown.left);
    const double pointerY = shown.top + pointerFractionY * (shown.bottom - shown.top);
    // The new view puts the same world point at the same place in the window.
    return keptWithinMaze(MazeView{zoomSteps, pointerX + (0.5 - pointerFractionX) * spanX(zoomSteps),
                                   pointerY + (0.5 - pointerFractionY) * spanY(zoomSteps)});
}

MazeView draggedBy(const MazeView& view, double dragFractionX, double dragFractionY)
{
    const ViewRectangle shown = viewRectangle(view);
    return keptWithinMaze(MazeView{view.zoomSteps, view.centreX - dragFractionX * (shown.right - shown.left),
                                   view.centreY - dragFractionY * (shown.bottom - shown.top)});
}

void applyViewProjection()
{
    applyProjection(viewRectangle(mazeView));
}

void applyProjection(const ViewRectangle& shown)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(shown.left, shown.right, shown.bottom, shown.top);
}

void onMouseButton(int button, int state, int x, int y)
{
    const int windowWidth = glutGet(GLUT_WINDOW_WIDTH);
    const int windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    if (windowWidth <= 0 || windowHeight <= 0)
        return;
    if (button == GLUT_LEFT_BUTTON) {
        dragging = state == GLUT_DOWN;
        dragStartX = x;
        dragStartY = y;
        viewAtDragStart = mazeView;
        return;
    }
    if (state != GLUT_DOWN || (button != wheelForwardButton && button != wheelBackButton))
        return;
    // The pointer is over the centre of pixel (x, y).
    showView(zoomedAbout(mazeView, button == wheelForwardButton ? 1 : -1, (x + 0.5) / windowWidth,
                         (y + 0.5) / windowHeight));
    dragStartX = x;
    dragStartY = y;
    viewAtDragStart = mazeView;
}

void onMouseDrag(int x, int y)
{
    const int windowWidth = glutGet(GLUT_WINDOW_WIDTH);
    const int windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    if (!dragging || windowWidth <= 0 || windowHeight <= 0)
        return;
    showView(draggedBy(viewAtDragStart, static_cast<double>(x - dragStartX) / windowWidth,
                       static_cast<double>(y - dragStartY) / windowHeight));
}
