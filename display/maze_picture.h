// The maze picture: the border compiled into a display list, the walls kept
// as bits, and each view made from them, as lines where a cell spans a couple
// of pixels or more, as a computed image where it is finer.
#ifndef MAZE_PICTURE_H
#define MAZE_PICTURE_H

#include "view.h"
#include "wall_lines.h"

// Fixed display list names.
enum DisplayList {
    MAZE_LIST = 1,      // the maze's border, with the entrance and the exit open
    SOLUTION_LIST = 2,  // the solution line, compiled on the first redraw after solving
};

// Sets a white background, compiles the border into MAZE_LIST and keeps every
// line of the maze as bits. Draws nothing; the wall list is not read again
// afterwards.
void compileMazeList();

// What the window shows once drawMazePicture returns.
enum PictureState {
    PICTURE_COMPLETE,   // the view, exactly
    PICTURE_PREVIEWED,  // the pictures kept of earlier views, scaled and moved as the view shows them
    PICTURE_PENDING,    // what it showed before
};

// Shows the maze in black as the projection of view shows it. A maze whose
// full view is lines is drawn at once: clear, border, walls. For a larger one
// a picture kept of this very view is copied back; any other view is made off
// the window, a step at a time by drawMoreOfMazePicture, and the kept
// pictures stand in for it meanwhile.
PictureState drawMazePicture(const MazeView& view);

// Takes the next step of the view drawMazePicture started, which may put it on
// the window. Returns whether the view is now complete on the window.
bool drawMoreOfMazePicture();

// The window shows a whole picture drawn elsewhere (the show's last frame): a
// view still being made leaves it there until the view is complete.
void notePictureOnWindow();

// Whether the view last asked for is complete on the window.
bool mazePictureComplete();

#endif
