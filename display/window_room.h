// Keeping the window within the screen and within the memory the run has for
// it. The buffers behind the window grow with it: the GL driver's colour
// buffer, which it shares with the X server to show the window, the image of a
// view computed in the program, and the textures that keep a large maze's
// pictures. The memory check before carving counts them for the window the run
// opens; a window made larger later takes no more than the room the check
// found beyond its whole estimate. Without that room, like a window larger than
// the screen, it is asked back to a size that fits and not drawn until it has
// it. (Letting the kept pictures go would not make room: drawing a computed
// view without them takes the driver more.)
#ifndef WINDOW_ROOM_H
#define WINDOW_ROOM_H

#include "window.h"

// Bytes a window pixel of each buffer. llvmpipe's colour buffer is four bytes
// a pixel, and when the window is resized it makes the new one before it lets
// the old one go; the computed view's image is four; each kept picture's
// texture four, keptPictureCount of them.
constexpr unsigned long long colourBufferBytesPerPixel = 4;
constexpr unsigned long long fineViewImageBytesPerPixel = 4;
constexpr unsigned long long keptPictureBytesPerPixel = 4;
// Without kept pictures, the computed view is drawn onto the window from the
// image, through a texture the driver makes for it and the copy it fills that
// from: eight bytes a pixel, measured on llvmpipe.
constexpr unsigned long long drawnImageBytesPerPixel = 8;

// The window's buffers at a moment when the window takes a size: in pixels,
// the size it takes, the colour buffer still held from the size last drawn
// at, the computed view's image and the largest kept picture's texture as
// they are allocated then.
struct WindowBuffers {
    long long pixels;
    long long pixelsDrawn;
    long long imagePixels;
    long long largestTexturePixels;
};

// The most they hold once the window is drawn at its size: both colour
// buffers, the image of the size's computed view where the full view is fine
// there, and, where pictures are kept, the textures of as many pictures of
// that size or of the largest kept so far, or else what drawing the image
// onto the window takes.
unsigned long long windowBufferBytes(const WindowBuffers& buffers, bool fineView, bool picturesKept);

// Whether pictures are kept for a maze of the given size on a screen of this
// size: when its full view is fine in the window opened for it there, since
// the views of such a maze take long enough to make to want a stand-in. The
// views of a smaller maze, fine in a window made narrow, are made in moments
// and put on the window whole when complete.
bool picturesKeptFor(int mazeColumns, int mazeRows, ScreenSize screen);

// The colour buffer the driver makes for the window a run opens, when the
// window is first made current, before anything is drawn.
unsigned long long openingColourBufferBytes(int mazeColumns, int mazeRows, ScreenSize screen);

// What the memory check counts for the window a run opens, the window placed
// for a maze of the given size on a screen of this size, as freeglut opens it
// (300 x 300 where a side comes to 0): resized once to a size as large, its
// full view's image where fine, and the kept pictures' textures where kept,
// as they are for every maze while the show (--watch) runs.
unsigned long long openingWindowBytes(int mazeColumns, int mazeRows, ScreenSize screen, bool shown = false);

// The bytes the window's buffers may take: set once by the memory check
// before carving, to what it counted for them and the room it found beyond
// its whole estimate; as much as there is until then.
void allowWindowBytes(unsigned long long bytes);

// How a window of a given size sits within the screen and the bytes allowed.
struct WindowFit {
    int width;  // the size it may have: its own, or smaller where it does not fit
    int height;
};

// The fit of a window of width x height for the current maze, when the
// window was last drawn at drawnWidth x drawnHeight, on the screen it opened
// on and within the bytes allowed, its pictures kept or not as they are: a
// window that does not fit gets the largest size of its proportions that does.
WindowFit fitWindow(int width, int height, int drawnWidth, int drawnHeight);

// The largest window of the screen's proportions that fits, which window
// managers are asked not to exceed.
WindowFit largestWindow();

// GLUT's reshape callback. A window that fits is drawn at its size, the
// picture stretched over the whole of it as GLUT's own handling has it; one
// that does not is asked to take the size that fits.
void onReshape(int width, int height);

// Whether the window waits for the size it was asked to take: nothing is drawn
// until then.
bool windowAwaitingSize();

// Called once the window has been drawn at its present size, which the
// driver's colour buffer then has.
void noteWindowDrawn();

#endif
