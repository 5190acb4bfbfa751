// The maze picture: the border compiled into a display list, and the standing
// walls kept once as lines, in square tiles of cells, so that a zoomed view
// draws only the tiles it overlaps.
#ifndef MAZE_PICTURE_H
#define MAZE_PICTURE_H

#include "view.h"

// Fixed display list names.
enum DisplayList {
    MAZE_LIST = 1,      // the maze's border, with the entrance and the exit open
    SOLUTION_LIST = 2,  // the solution line, compiled on the first redraw after solving
};

// The lines are handed to the GL driver in pieces of linesPerPiece, and no
// more than piecesHeldByDriver pieces are ever handed over and not yet drawn:
// llvmpipe would otherwise queue as much of a large picture as its drawing
// threads fall behind by. The memory check counts the driver's working memory
// for that many lines.
constexpr int linesPerPiece = 8192;
constexpr int piecesHeldByDriver = 3;

// Where the walls' lines are kept.
enum WallStore {
    // A buffer object: in the GL driver's own memory, video memory on a GPU.
    BUFFER_OBJECT_WALLS,
    // Plain memory of this program, drawn as a client vertex array: for
    // drivers older than buffer objects (OpenGL 1.5).
    CLIENT_MEMORY_WALLS,
};

// Sets a white background, compiles the border into MAZE_LIST and stores every
// standing wall of walls as a line, in the store the driver supports. Draws
// nothing; the wall list is not read again afterwards.
void compileMazeList();

// The same, with the store given (tests compare the two).
void compileMazeList(WallStore store);

// Whether the full view's pixels are kept once drawn and put back instead of
// drawn again: on Mesa's software rasterisers (llvmpipe, softpipe), where
// drawing a large maze takes the processor a second; a GPU draws it faster
// than the pixels could be copied.
bool keepsFullViewImage();

// Clears the window and draws the maze as the projection of view shows it,
// in black: at the full view the kept image when there is one for the
// window's size, otherwise the border and the tiles in view. The full view is
// drawn whole; a zoomed view so large that it would keep the mouse waiting is
// drawn a step at a time, its first step here. Returns whether the picture
// is complete.
bool drawMazePicture(const MazeView& view);

// Draws the next step of a picture that drawMazePicture left incomplete, in
// the same projection. Returns whether the picture is now complete.
bool drawMoreOfMazePicture();

// Whether the picture last started is drawn to the end.
bool mazePictureComplete();

#endif
