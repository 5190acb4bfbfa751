// A frame of the show: the maze as it stands, in the view the mouse has
// chosen, with what the solver has done so far.
#ifndef SHOW_FRAME_H
#define SHOW_FRAME_H

// The cells the solver has entered and those it has backed out of are shaded
// in these colours, light enough for the walls to stand out over them.
constexpr float enteredCellColour[3] = {0.70f, 0.85f, 1.00f};
constexpr float leftCellColour[3] = {1.00f, 0.86f, 0.60f};

// Draws showState under showLock: the walls standing (as lines, or grey where
// cells are finer than the lines would be) over the cells' shading, and the
// solver's path as the red line. Drawn off the window where the driver can
// and put on it whole, so the window never shows a frame half drawn.
void drawShowFrame();

#endif
