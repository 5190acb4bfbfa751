#include "gl_window.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with gtest's names.
#include <GL/glx.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "maze_window.h"

namespace {

bool windowOpen = false;
int testWindow = 0;

// freeglut closes its windows from an exit handler of its own, and in doing so
// makes the window's context current again, destroys the X window under it,
// and leaves the context to be unbound when the display is closed. The tests
// draw outside GLUT's redraw cycle, so the driver may still owe the window its
// front buffer then: Mesa 25 (Debian 13) puts that image to the destroyed
// window, and the X server's BadDrawable makes Xlib end the process.
// Taking the window down in order first leaves freeglut nothing to undo:
// marking it for destruction makes it no longer GLUT's current window, so the
// context is not bound again; releasing the context hands the driver's last
// image to a window that still exists; the event pass then destroys the
// context, no longer current, and the window.
void closeTestWindow()
{
    glutDestroyWindow(testWindow);
    if (Display* display = glXGetCurrentDisplay())
        glXMakeCurrent(display, None, nullptr);
    glutMainLoopEvent();
}

std::vector<unsigned char> readFrontBuffer(int& width, int& height)
{
    glFinish();
    width = glutGet(GLUT_WINDOW_WIDTH);
    height = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace

void openTestWindow()
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "these tests need an X display (run them under Xvfb)";
    if (windowOpen)
        return;
    static int argc = 1;
    static char name[] = "maze_display_tests";
    static char* argv[] = {name, nullptr};
    showMazeWindow(&argc, argv);
    testWindow = glutGetWindow();
    windowOpen = true;
    // Runs before freeglut's own exit handler, which glutInit registered earlier.
    std::atexit(closeTestWindow);
    // Give the server time to map the window before anything reads it back.
    for (int i = 0; i < 20; ++i) {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void pumpEvents()
{
    for (int i = 0; i < 5; ++i) {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

PixelCounts countWindowPixels()
{
    int width = 0;
    int height = 0;
    const std::vector<unsigned char> pixels = readFrontBuffer(width, height);
    PixelCounts counts;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        const int r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
        if (r == 0 && g == 0 && b == 0)
            ++counts.black;
        else if (r == 255 && g == 255 && b == 255)
            ++counts.white;
        else if (r == 255 && g == 0 && b == 0)
            ++counts.red;
        else
            ++counts.other;
    }
    return counts;
}

std::vector<unsigned char> windowPixels()
{
    int width = 0;
    int height = 0;
    return readFrontBuffer(width, height);
}

std::array<unsigned char, 3> windowPixel(int x, int y)
{
    int width = 0;
    int height = 0;
    const std::vector<unsigned char> pixels = readFrontBuffer(width, height);
    const std::size_t offset = (static_cast<std::size_t>(height - 1 - y) * width + x) * 3;
    return {pixels[offset], pixels[offset + 1], pixels[offset + 2]};
}
