#include "window_room.h"

#include <GL/glut.h>

#include <algorithm>

#include "fine_view.h"
#include "kept_pictures.h"
#include "maze.h"

namespace {

constexpr unsigned long long unlimited = ~0ull;

// freeglut opens a window of this size where a side of the size asked for is 0.
constexpr int glutDefaultWindowSide = 300;

// Each try at a size that fits is this much smaller across than the last.
constexpr double shrinkPerTry = 0.98;

// The window's room, GLUT thread only. allowedBytes is written once by the
// memory check before carving, and read by fitWindow; takenWidth and
// takenHeight, the size onReshape last let the window keep, by onReshape and
// read by noteWindowDrawn, which copies them to drawnWidth and drawnHeight,
// read by onReshape; awaitingSize by onReshape, read by windowAwaitingSize.
unsigned long long allowedBytes = unlimited;
int takenWidth = 0;
int takenHeight = 0;
int drawnWidth = 0;
int drawnHeight = 0;
bool awaitingSize = false;

unsigned long long pixelsOf(long long pixels)
{
    return pixels > 0 ? static_cast<unsigned long long>(pixels) : 0;
}

// The window's size as freeglut opens it for a maze on a screen.
ScreenSize openingSize(int mazeColumns, int mazeRows, ScreenSize screen)
{
    const WindowPlacement placement = placeWindow(screen.width, screen.height, mazeColumns, mazeRows);
    if (placement.width > 0 && placement.height > 0)
        return ScreenSize{placement.width, placement.height};
    return ScreenSize{glutDefaultWindowSide, glutDefaultWindowSide};
}

bool fitsAllowed(int width, int height, int drawnAcross, int drawnDown)
{
    const bool picturesKept = keepsPictures();
    const long long pixels = static_cast<long long>(width) * height;
    const WindowBuffers buffers{pixels, static_cast<long long>(drawnAcross) * drawnDown, fineViewImagePixels(),
                                picturesKept ? largestKeptPicturePixels() : 0};
    return windowBufferBytes(buffers, isFineFullView(mazeWidth, mazeHeight, width, height), picturesKept) <=
           allowedBytes;
}

}  // namespace

unsigned long long windowBufferBytes(const WindowBuffers& buffers, bool fineView, bool picturesKept)
{
    const unsigned long long pixels = pixelsOf(buffers.pixels);
    const unsigned long long colour = colourBufferBytesPerPixel * (pixels + pixelsOf(buffers.pixelsDrawn));
    const unsigned long long image =
        fineViewImageBytesPerPixel * std::max(pixelsOf(buffers.imagePixels), fineView ? pixels : 0);
    // Without kept pictures a computed view goes onto the window through the
    // driver's own texture of it, which it fills from a copy of the image.
    const unsigned long long textures =
        picturesKept ? keptPictureBytesPerPixel * keptPictureCount *
                           std::max(pixels, pixelsOf(buffers.largestTexturePixels))
                     : (fineView ? drawnImageBytesPerPixel * pixels : 0);
    return colour + image + textures;
}

bool picturesKeptFor(int mazeColumns, int mazeRows, ScreenSize screen)
{
    const ScreenSize window = openingSize(mazeColumns, mazeRows, screen);
    return isFineFullView(mazeColumns, mazeRows, window.width, window.height);
}

unsigned long long openingColourBufferBytes(int mazeColumns, int mazeRows, ScreenSize screen)
{
    const ScreenSize window = openingSize(mazeColumns, mazeRows, screen);
    return colourBufferBytesPerPixel * static_cast<unsigned long long>(window.width) *
           static_cast<unsigned long long>(window.height);
}

unsigned long long openingWindowBytes(int mazeColumns, int mazeRows, ScreenSize screen, bool shown)
{
    const ScreenSize window = openingSize(mazeColumns, mazeRows, screen);
    const long long pixels = static_cast<long long>(window.width) * window.height;
    // Pictures are kept exactly where the opening full view is fine, and
    // while the show draws its frames off the window.
    const bool fine = isFineFullView(mazeColumns, mazeRows, window.width, window.height);
    const bool kept = fine || shown;
    return windowBufferBytes(WindowBuffers{pixels, pixels, fine ? pixels : 0, kept ? pixels : 0}, fine, kept);
}

void allowWindowBytes(unsigned long long bytes)
{
    allowedBytes = bytes;
}

WindowFit fitWindow(int width, int height, int drawnAcross, int drawnDown)
{
    const ScreenSize screen = windowScreen();
    if (screen.width > 0 && screen.height > 0) {
        width = std::min(width, screen.width);
        height = std::min(height, screen.height);
    }
    const int fullWidth = width;
    const int fullHeight = height;
    for (double scale = 1;; scale *= shrinkPerTry) {
        width = std::max(1, static_cast<int>(fullWidth * scale));
        height = std::max(1, static_cast<int>(fullHeight * scale));
        if (fitsAllowed(width, height, drawnAcross, drawnDown) || (width == 1 && height == 1))
            return WindowFit{width, height};
        // Never smaller than the size it has, which fits as it is.
        if (static_cast<long long>(width) * height <= static_cast<long long>(drawnAcross) * drawnDown &&
            fitsAllowed(drawnAcross, drawnDown, drawnAcross, drawnDown))
            return WindowFit{drawnAcross, drawnDown};
    }
}

WindowFit largestWindow()
{
    const ScreenSize screen = windowScreen();
    // Resized to it from a size as large, at the worst.
    for (double scale = 1;; scale *= shrinkPerTry) {
        const int width = std::max(1, static_cast<int>(screen.width * scale));
        const int height = std::max(1, static_cast<int>(screen.height * scale));
        if (fitsAllowed(width, height, width, height) || (width == 1 && height == 1))
            return WindowFit{width, height};
    }
}

void onReshape(int width, int height)
{
    const WindowFit fit = fitWindow(width, height, drawnWidth, drawnHeight);
    awaitingSize = fit.width != width || fit.height != height;
    if (awaitingSize) {
        glutReshapeWindow(fit.width, fit.height);
        return;
    }
    takenWidth = width;
    takenHeight = height;
    glViewport(0, 0, width, height);
}

bool windowAwaitingSize()
{
    return awaitingSize;
}

void noteWindowDrawn()
{
    drawnWidth = takenWidth;
    drawnHeight = takenHeight;
}
