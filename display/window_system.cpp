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

// The connection loss, GLUT thread only. Xlib's handler prints the message
// users know and then exits with 1, so onConnectionLost only notes the loss
// before handing over, and the first exit handler turns the status into ours
// before anything else would talk to the dead connection.
int (*xlibConnectionLossHandler)(Display*) = nullptr;
bool connectionLost = false;

int onConnectionLost(Display* display)
{
    connectionLost = true;
    return xlibConnectionLossHandler(display);
}

void endWithConnectionLoss()
{
    if (connectionLost)
        endProcess(WINDOW_SYSTEM_FAILURE);
}

// The window watch, GLUT thread only. Freeglut ignores its window being
// destroyed by another client and would wait for events forever, so a second
// connection of our own asks the X server to report the destruction.
// Destroying a window unmaps it first, which freeglut does report: that is
// when the watch looks.
Display* windowWatch = nullptr;
Window mazeWindow = 0;

void onWindowStatus(int state)
{
    if (state != GLUT_HIDDEN)
        return;
    // The destruction that hid the window reached the watch before this
    // round trip ends.
    XSync(windowWatch, False);
    XEvent destroyed;
    if (XCheckTypedWindowEvent(windowWatch, mazeWindow, DestroyNotify, &destroyed))
        endProcess(0);
}

}  // namespace

void reportGlutFailures(int argc, char** argv)
{
    programName = argc > 0 ? argv[0] : nullptr;
    glutInitErrorFunc(onGlutError);
}

void watchMazeWindow()
{
    xlibConnectionLossHandler = XSetIOErrorHandler(onConnectionLost);
    std::atexit(endWithConnectionLoss);

    Display* display = glXGetCurrentDisplay();
    mazeWindow = glXGetCurrentDrawable();
    windowWatch = XOpenDisplay(DisplayString(display));
    if (windowWatch == nullptr)
        return;  // no connection to spare: the window can still be closed as usual
    XSelectInput(windowWatch, mazeWindow, StructureNotifyMask);
    XFlush(windowWatch);
    glutWindowStatusFunc(onWindowStatus);
}
