// What part of the maze the window shows, and the mouse that changes it: the
// wheel zooms about the point under the pointer, a drag with the left button
// pans. With no zoom the window shows the full view: the whole maze with one
// cell of margin on every side.
#ifndef VIEW_H
#define VIEW_H

// A view of the maze, in cells.
struct MazeView {
    int zoomSteps;   // wheel notches in from the full view; 0 is the full view
    double centreX;  // the world point at the window's centre while zoomed
    double centreY;
};

// The world rectangle a view shows; top is less than bottom, since row 0 is at
// the top of the window.
struct ViewRectangle {
    double left;
    double top;
    double right;
    double bottom;
};

// Each wheel notch zooms by this factor.
constexpr double zoomPerStep = 1.25;

// The view the window shows: written by the mouse callbacks, read by
// displayMaze. GLUT thread only.
extern MazeView mazeView;

// The full view of the current maze, and how far it can be zoomed: until the
// view is a few cells across in the maze's shorter direction.
MazeView fullView();
int mostZoomSteps();

// The world rectangle shown by a view of the current maze.
ViewRectangle viewRectangle(const MazeView& view);

// The view zoomed by steps notches (negative: out) about the point under the
// pointer, which lies at the given fractions of the window's width and height
// and stays under it, unless the view has to move to keep within the maze.
MazeView zoomedAbout(const MazeView& view, int steps, double pointerFractionX, double pointerFractionY);

// The view moved so that the maze follows a drag across the given fractions
// of the window, as far as the view can go while keeping within the maze.
MazeView draggedBy(const MazeView& view, double dragFractionX, double dragFractionY);

// Sets the projection of mazeView: at the full view exactly the one the
// picture was always drawn with.
void applyViewProjection();

// Sets the projection that shows the given world rectangle across the window.
void applyProjection(const ViewRectangle& shown);

// The GLUT mouse callbacks: the wheel (buttons 3 and 4) and the left button.
void onMouseButton(int button, int state, int x, int y);
void onMouseDrag(int x, int y);

#endif
