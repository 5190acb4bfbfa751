// A real GLUT window for tests that drive the display callbacks directly.
#ifndef GL_WINDOW_H
#define GL_WINDOW_H

#include <array>
#include <vector>

// Opens (once per process) a mapped window on the X display named by DISPLAY,
// sized for the current maze, with the maze picture compiled, as the programs
// do it. Fails the calling test when there is no display.
void openTestWindow();

// Lets freeglut handle pending events, such as a requested redraw.
void pumpEvents();

// The front buffer after a glFinish: RGB bytes, bottom row first.
std::vector<unsigned char> windowPixels();

// Counts pixels of the front buffer by colour after a glFinish.
struct PixelCounts {
    long black = 0;
    long white = 0;
    long red = 0;
    long other = 0;
};
PixelCounts countWindowPixels();

// The colour at window pixel (x, y), y counted from the top.
std::array<unsigned char, 3> windowPixel(int x, int y);

#endif
