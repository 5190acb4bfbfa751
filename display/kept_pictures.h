// Finished pictures of a large maze, kept as textures in the GL driver: the
// one on the window and the full view. A new view is drawn off the window, in
// a texture of its own, while the kept ones, scaled and moved to where they
// land in it, stand in for it; it replaces them whole once it is complete, and
// a picture shown again (the solution line switched, the window uncovered, a
// return to the full view) is copied back instead of drawn.
#ifndef KEPT_PICTURES_H
#define KEPT_PICTURES_H

#include "view.h"

// Three are enough: the one on the window, the full view (often the same), and
// one for the picture being drawn. Each is a texture of its window's size,
// four bytes a pixel, allocated when first needed.
constexpr int keptPictureCount = 3;

// A picture's world rectangle and the window size it was made for.
struct PictureFrame {
    ViewRectangle shown;
    int width;
    int height;
    bool fullView;
};

// Whether two frames are the same view in the same window size.
bool sameFrame(const PictureFrame& one, const PictureFrame& other);

// Forgets every kept picture, letting their textures go; pictures are kept
// from now on when wanted and the driver has what keeping them takes
// (framebuffer objects, OpenGL 3.0). Whether they are kept:
void setUpKeptPictures(bool wanted);
bool keepsPictures();

// The pixels of the largest texture a kept picture holds now; 0 when none.
long long largestKeptPicturePixels();

// Copies the kept picture of exactly this frame onto the window; false when
// none is kept.
bool putBackPicture(const PictureFrame& frame);

// Clears the window to white and draws the kept pictures of a window of the
// given size where they land in the current projection, the full view under
// the other; false when nothing is kept to draw.
bool drawPreview(int width, int height);

// Binds a texture of the frame's size as where GL draws, with the window's
// viewport; false when the driver refuses. drawOnWindow returns to the window.
bool drawOffWindow(const PictureFrame& frame);
void drawOnWindow();

// Copies what was drawn off the window onto it, and keeps it as that frame's
// picture.
void showPictureDrawnOffWindow(const PictureFrame& frame);

// Has the driver draw, over the picture on the window, once each way a later
// redraw draws over the window (a kept picture scaled, black and red lines),
// then copies the picture back over them. The driver prepares each way the
// first time it is used, which with an empty shader cache takes llvmpipe tens
// of milliseconds; a large maze's first view uses none of them, and this
// spares the first notch and the first space press the wait. Nothing of it
// shows: the window shows what is drawn only once it is flushed.
void prepareDriverForRedraws();

// Keeps an image of the frame's size (RGBA, rows from the bottom) as the
// frame's picture, the one on the window: putBackPicture shows it there.
void keepPicturePixels(const PictureFrame& frame, const unsigned char* pixels);

#endif
