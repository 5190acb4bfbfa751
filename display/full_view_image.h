// The full view's pixels, kept once drawn so that a redraw that changes
// nothing of the maze (the solution line switched, the window uncovered) puts
// them back instead of drawing every wall again.
#ifndef FULL_VIEW_IMAGE_H
#define FULL_VIEW_IMAGE_H

// Whether an image is kept for a window of this size.
bool fullViewImageFits(int windowWidth, int windowHeight);

// Reads the window's pixels, just drawn, as the kept image. Nothing is kept
// when there is no memory for it; the maze is then drawn each time.
void keepFullViewImage(int windowWidth, int windowHeight);

// Writes the kept image over the whole window.
void putBackFullViewImage();

// Drops the kept image: the picture it shows is being replaced.
void forgetFullViewImage();

#endif
