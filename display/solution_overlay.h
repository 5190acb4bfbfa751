// The GLUT callbacks for the picture: redrawing the maze, and the space bar that switches the
// red solution line on and off once the solver has finished.
#ifndef SOLUTION_OVERLAY_H
#define SOLUTION_OVERLAY_H

// Whether the red line is drawn: reset by the run sequence, toggled by onKey.
// GLUT thread only.
extern unsigned char showSolution;

// 1 once SOLUTION_LIST holds the solution line: set by displayMaze. GLUT thread only.
extern unsigned char solutionListBuilt;

// Draws the maze in the view the mouse has chosen, or what stands in for it
// while it is made, and, once solved and asked for, the solution line in the
// same view, which the first redraw after solving compiles (and frees
// solutionCells).
void displayMaze();

// The idle callback displayMaze installs while a view is made a step at a
// time: takes the next step and, once the view is on the window, draws the
// solution line over it.
void drawMoreOfPicture();

// The space bar toggles the solution line once the maze is solved; every other
// key, and the space bar before then, does nothing.
void onKey(unsigned char key, int x, int y);

#endif
