// The GLUT callbacks for the picture: redrawing the maze, and the space bar that switches the
// red solution line on and off once the solver has finished.
#ifndef SOLUTION_OVERLAY_H
#define SOLUTION_OVERLAY_H

// Whether the red line is drawn: reset by the run sequence, toggled by onKey.
// GLUT thread only.
extern unsigned char showSolution;

// 1 once SOLUTION_LIST holds the solution line: set by displayMaze. GLUT thread only.
extern unsigned char solutionListBuilt;

// Draws the maze in the view the mouse has chosen and, once solved and asked
// for, the solution line in the same view, which the first redraw after
// solving compiles (and frees solutionCells).
void displayMaze();

// The idle callback displayMaze installs while a large zoomed view is drawn a
// step at a time: draws the next step, and the solution line once the maze is
// complete.
void drawMoreOfPicture();

// The space bar toggles the solution line once the maze is solved; every other
// key, and the space bar before then, does nothing.
void onKey(unsigned char key, int x, int y);

#endif
