#include "window_system.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "fatal_exit.h"

namespace {

// Written by reportGlutFailures, read by onGlutError: argv[0] as freeglut
// names the program in its messages, or nullptr when there is none.
const char* programName = nullptr;

// Freeglut calls this instead of printing and exiting itself; it must not return.
void onGlutError(const char* format, va_list arguments)
{
    // Freeglut's own wording.
    std::fputs("freeglut ", stderr);
    if (programName != nullptr)
        std::fprintf(stderr, "(%s): ", programName);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    endProcess(WINDOW_SYSTEM_FAILURE);
}

// The window watch, GLUT thread only. Freeglut ignores its window being
// destroyed by another client and would wait for events forever, so a second
// connection of our own asks the X server to report the destruction.
Display* windowWatch = nullptr;
Window mazeWindow = 0;

// Whether another client has destroyed the window, as the watch has been told
// by the end of this round trip.
bool mazeWindowDestroyed()
{
    if (windowWatch == nullptr)
        return false;
    XSync(windowWatch, False);
    XEvent destroyed;
    return XCheckTypedWindowEvent(windowWatch, mazeWindow, DestroyNotify, &destroyed);
}

// Destroying a window unmaps it first, which freeglut does report: that is
// when the watch looks.
void onWindowStatus(int state)
{
    if (state == GLUT_HIDDEN && mazeWindowDestroyed())
        endProcess(0);
}

// Failures of the X connection, GLUT thread only. Xlib's handlers print the
// messages users know and then exit with 1, so ours only note the failure
// before handing over, and the first exit handler turns the status into ours
// before anything else would talk to the broken connection.
int (*xlibErrorHandler)(Display*, XErrorEvent*) = nullptr;
int (*xlibConnectionLossHandler)(Display*) = nullptr;
bool windowSystemFailed = false;

int onRequestFailed(Display* display, XErrorEvent* error)
{
    // A frame still being drawn when the window was destroyed fails on it:
    // the run ends as it does for the destruction itself.
    if (mazeWindowDestroyed())
        endProcess(0);
    windowSystemFailed = true;
    return xlibErrorHandler(display, error);
}

int onConnectionLost(Display* display)
{
    windowSystemFailed = true;
    return xlibConnectionLossHandler(display);
}

void endWithWindowSystemFailure()
{
    if (windowSystemFailed)
        endProcess(WINDOW_SYSTEM_FAILURE);
}

}  // namespace

void reportGlutFailures(int argc, char** argv)
{
    programName = argc > 0 ? argv[0] : nullptr;
    glutInitErrorFunc(onGlutError);
}

void watchMazeWindow()
{
    xlibErrorHandler = XSetErrorHandler(onRequestFailed);
    xlibConnectionLossHandler = XSetIOErrorHandler(onConnectionLost);
    std::atexit(endWithWindowSystemFailure);

    Display* display = glXGetCurrentDisplay();
    mazeWindow = glXGetCurrentDrawable();
    windowWatch = XOpenDisplay(DisplayString(display));
    if (windowWatch == nullptr)
        return;  // no connection to spare: the window can still be closed as usual
    XSelectInput(windowWatch, mazeWindow, StructureNotifyMask);
    XFlush(windowWatch);
    glutWindowStatusFunc(onWindowStatus);
}
