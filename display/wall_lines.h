// The walls in view drawn as lines, made from the wall planes as they are
// drawn: one line per standing wall, with the same vertices whatever the view,
// so that every view shows exactly the pixels of the walls drawn one by one.
#ifndef WALL_LINES_H
#define WALL_LINES_H

#include "view.h"

// The lines are handed to the GL driver in pieces of linesPerPiece, and no
// more than piecesHeldByDriver pieces are ever handed over and not yet drawn:
// llvmpipe would otherwise queue as much of a large picture as its drawing
// threads fall behind by. The memory check counts the driver's working memory
// for that many lines.
constexpr int linesPerPiece = 8192;
constexpr int piecesHeldByDriver = 3;

// Whether each piece is ended by a fence and the piece before last waited
// for: on Mesa's software rasterisers, where the picture's working memory is
// this process's, when the driver has fences (OpenGL 3.2). A GPU queues lines
// in memory of its own, and waiting for it would only slow it down.
void fenceWallLinePieces(bool fencing);

// Starts on the interior walls that may show in the given world rectangle
// (the border is drawn apart), in the current projection.
void startWallLines(const ViewRectangle& shown);

// Draws up to mostLines more of them, in black; returns whether all are drawn.
bool drawMoreWallLines(long long mostLines);

#endif
