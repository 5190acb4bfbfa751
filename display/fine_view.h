// Views whose cells are smaller than a couple of pixels, computed in the
// program instead of drawn as lines: each pixel is as grey as the share of its
// area that is wall, as an image viewer shows a picture larger than the
// screen, where lines would blacken every pixel they touch.
//
// The maze is taken as lines drawn one pixel wide would show it if pixels were
// infinitely fine: each grid line a strip as wide as a window pixel about its
// place in the world, but never wider than half a cell (or lines would cover
// every cell), grid corners always black, the cells' strips between them
// white, and white around the maze in its margin. At two pixels a cell and
// finer that is the maze as it looks at two pixels a cell, every line and
// every cell half a cell wide. Each window pixel gets the share of its area
// that no black strip covers.
#ifndef FINE_VIEW_H
#define FINE_VIEW_H

#include "view.h"
#include "wall_planes.h"

// Cells narrower or shorter than this many window pixels make a fine view.
// There a one-pixel line is half a cell wide, so lines and the computed view
// cover the same share of the window: switching there keeps the window's
// brightness (about half) from one notch to the next.
constexpr double finestLinesPixelsPerCell = 2.0;

// Whether a view of the given world rectangle in a window of this size is fine.
bool isFineView(const ViewRectangle& shown, int windowWidth, int windowHeight);

// Whether the full view of a maze of the given size, the maze and a cell of
// margin on every side, is fine in a window of this size.
bool isFineFullView(int mazeColumns, int mazeRows, int windowWidth, int windowHeight);

// Computes rows [firstRow, endRow) of the view's image, counted from the
// window's bottom as OpenGL counts them, into pixels (four bytes a pixel, red,
// green, blue and alpha, windowWidth pixels a row, row 0 first). Grey levels
// round to the nearest of 256; alpha is 0 where a pixel is white, as the
// window's clear colour leaves it, and 255 where anything is drawn, as the
// lines leave it.
void computeFineViewRows(const WallPlanes& planes, const ViewRectangle& shown, int windowWidth, int windowHeight,
                         int firstRow, int endRow, unsigned char* pixels);

// The view in progress, computed a band of rows at a time so that the window
// hears its events between bands, on two processors where there are two.
// startFineView keeps a buffer of the window's size; returns false when there
// is no memory for it.
bool startFineView(const ViewRectangle& shown, int windowWidth, int windowHeight);

// Computes the next band; returns whether the image is complete.
bool computeMoreOfFineView();

// The complete image, windowWidth x windowHeight as started; the show tints
// it with what the solver has done before it goes on the window.
unsigned char* fineViewPixels();

// The pixels of the image kept for the views, allocated for the last size a
// view was started at; 0 before any.
long long fineViewImagePixels();

#endif
