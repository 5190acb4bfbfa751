#include "window_system.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xlibint.h>  // XESetWireToEvent: Xlib's hook for a library to see events as they are read
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fatal_exit.h"
#include "window_room.h"

namespace {

// Written by watchWindowSystem before glutInit; read afterwards on the GLUT thread.
const char* programPath = nullptr;  // argv[0] as freeglut names the program in its messages, or nullptr
char* programName = nullptr;        // its last component, the window's WM_CLASS name
bool awaitingWindow = false;        // until the maze window is watched

// Freeglut calls this instead of printing and exiting itself; it must not return.
void onGlutError(const char* format, va_list arguments)
{
    // Freeglut's own wording.
    std::fputs("freeglut ", stderr);
    if (programPath != nullptr)
        std::fprintf(stderr, "(%s): ", programPath);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    endProcess(WINDOW_SYSTEM_FAILURE);
}

// Xlib's handlers for a refused request and a lost connection, which print the
// messages users know and then call exit(1).
int (*xlibErrorHandler)(Display*, XErrorEvent*) = nullptr;
int (*xlibConnectionLossHandler)(Display*) = nullptr;

void endWithWindowSystemFailure()
{
    endProcess(WINDOW_SYSTEM_FAILURE);
}

// Ours only arrange the status before handing over: registered last, this exit
// handler runs first, before freeglut's or the GL driver's could wait for a
// lock that the interrupted call still holds. Neither makes a request on the
// connection that has failed, and Xlib's handlers make none.
void handOverToXlib()
{
    if (std::atexit(endWithWindowSystemFailure) != 0)
        endProcess(WINDOW_SYSTEM_FAILURE);
}

int onRequestFailed(Display* display, XErrorEvent* error)
{
    handOverToXlib();
    return xlibErrorHandler(display, error);
}

int onConnectionLost(Display* display)
{
    handOverToXlib();
    return xlibConnectionLossHandler(display);
}

// The window watch. Freeglut creates the window with its structure events
// selected on its own connection, but drops the window's destruction, and
// reads a close request only in its loop: while glutCreateWindow waits for the
// window to be mapped (forever, for a window destroyed first or started
// iconic under a window manager), neither reaches it. So the watch sees these
// two kinds of events as Xlib reads them on that connection, wherever that
// happens: in GLUT's loop, in glutCreateWindow or in a GL call. It needs no
// connection of its own, which a server at its client limit would refuse.
// Written by watchWindow before the converters are installed, read by them
// (on the GLUT thread: no other thread uses the connection); stopWatching
// clears mazeWindow when GLUT itself takes the window down.
Window mazeWindow = None;
Atom deleteWindow = None;
using EventConverter = Bool (*)(Display*, XEvent*, xEvent*);
EventConverter convertDestroyNotify = nullptr;
EventConverter convertClientMessage = nullptr;

bool endsTheRun(const XEvent& event)
{
    if (event.type == DestroyNotify)
        return event.xdestroywindow.window == mazeWindow;
    // Freeglut's own test for a close request.
    return event.type == ClientMessage && event.xclient.window == mazeWindow &&
           static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow;
}

// These run inside Xlib, the connection locked: they make no request, they
// only end the run, as closing the window does.
Bool onDestroyNotify(Display* display, XEvent* event, xEvent* wire)
{
    const Bool converted = convertDestroyNotify(display, event, wire);
    if (converted && endsTheRun(*event))
        endProcess(0);
    return converted;
}

Bool onClientMessage(Display* display, XEvent* event, xEvent* wire)
{
    const Bool converted = convertClientMessage(display, event, wire);
    if (converted && endsTheRun(*event))
        endProcess(0);
    return converted;
}

Bool isQueuedEnd(Display*, XEvent* event, XPointer)
{
    return endsTheRun(*event);
}

// Before any request that names the window: a request failing on a window
// already destroyed must find the watch in place.
void watchWindow(Display* display, Window window)
{
    awaitingWindow = false;
    deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    mazeWindow = window;
    convertDestroyNotify = XESetWireToEvent(display, DestroyNotify, onDestroyNotify);
    convertClientMessage = XESetWireToEvent(display, ClientMessage, onClientMessage);
    // What Xlib read before the converters were in place waits in its queue.
    XEvent queued;
    if (XCheckIfEvent(display, &queued, isQueuedEnd, nullptr))
        endProcess(0);
    char mazeClass[] = "Maze";
    XClassHint names{programName, mazeClass};
    XSetClassHint(display, window, &names);
}

void stopWatching()
{
    mazeWindow = None;
}

}  // namespace

// Freeglut offers no way to reach its connection or its window before
// glutCreateWindow returns, and that is too late: it returns only once the
// window is mapped. But between creating the window and mapping it, it makes
// its GL context current on the window and names the window for the window
// manager, with calls that the dynamic linker resolves to the program's
// definitions first. The first of them starts the watch; the libraries' own
// definitions then do what freeglut asked.

// Making the context current has the GL driver create its drawable for the
// window. When another client has destroyed the window first, that fails, and
// Mesa says so on standard error ("failed to create drawable") before the run
// ends with status 0 as for any destroyed window. The destruction can land at
// any moment of the call, so rather than race it, what the driver says during
// the call is held back until its outcome is known: a failed call is followed
// by a round trip, which reads the window's destruction if that is the cause
// and ends the run quietly; otherwise the driver's words go out as they were.
extern "C" Bool glXMakeContextCurrent(Display* display, GLXDrawable draw, GLXDrawable read, GLXContext context)
{
    static const auto glxMakeContextCurrent =
        reinterpret_cast<decltype(&glXMakeContextCurrent)>(dlsym(RTLD_NEXT, "glXMakeContextCurrent"));
    if (awaitingWindow && draw != None)
        watchWindow(display, draw);
    if (draw == None || draw != mazeWindow)
        return glxMakeContextCurrent(display, draw, read, context);

    const int heldBack = memfd_create("driver messages", MFD_CLOEXEC);
    const int standardError = heldBack < 0 ? -1 : dup(STDERR_FILENO);
    if (standardError < 0) {
        if (heldBack >= 0)
            close(heldBack);
        return glxMakeContextCurrent(display, draw, read, context);
    }
    std::fflush(stderr);
    dup2(heldBack, STDERR_FILENO);
    const Bool made = glxMakeContextCurrent(display, draw, read, context);
    std::fflush(stderr);
    dup2(standardError, STDERR_FILENO);
    close(standardError);
    if (!made)
        XSync(display, False);
    char text[4096];
    ssize_t length;
    off_t offset = 0;
    while ((length = pread(heldBack, text, sizeof text, offset)) > 0) {
        offset += length;
        if (write(STDERR_FILENO, text, static_cast<std::size_t>(length)) < 0)
            break;
    }
    close(heldBack);
    return made;
}

// Window managers read WM_CLASS and the size hints when the window is mapped,
// so they are set with the window's other properties, before the map. The
// hints say how large the window may grow: as large as the screen, or the
// largest window of its proportions that the window's room allows (see
// window_room.h), which a window manager maximising it keeps within.
extern "C" void XSetWMProperties(Display* display, Window window, XTextProperty* windowName,
                                 XTextProperty* iconName, char** argv, int argc, XSizeHints* normalHints,
                                 XWMHints* windowManagerHints, XClassHint* classHints)
{
    static const auto xlibSetWMProperties =
        reinterpret_cast<decltype(&XSetWMProperties)>(dlsym(RTLD_NEXT, "XSetWMProperties"));
    if (awaitingWindow)
        watchWindow(display, window);
    const bool watching = window == mazeWindow;
    XSizeHints sizeHints = normalHints != nullptr ? *normalHints : XSizeHints{};
    if (watching) {
        const WindowFit largest = largestWindow();
        sizeHints.flags |= PMaxSize;
        sizeHints.max_width = largest.width;
        sizeHints.max_height = largest.height;
    }
    xlibSetWMProperties(display, window, windowName, iconName, argv, argc,
                        watching || normalHints != nullptr ? &sizeHints : nullptr, windowManagerHints, classHints);
    // glutCreateWindow returns only once it has seen the window mapped, and a
    // window manager keeps a window started iconic (-iconic) unmapped until it
    // is restored: the run would stand still until then, maze_threaded's
    // solver not even started. Told so at once, freeglut goes on; the event is
    // one its loop ignores, and the real one follows where there is a map.
    if (watching && windowManagerHints != nullptr && (windowManagerHints->flags & StateHint) != 0 &&
        windowManagerHints->initial_state == IconicState) {
        XEvent mapped{};
        mapped.xmap.type = MapNotify;
        mapped.xmap.display = display;
        mapped.xmap.event = window;
        mapped.xmap.window = window;
        XPutBackEvent(display, &mapped);
    }
}

void watchWindowSystem(int argc, char** argv)
{
    static char fallbackName[] = "maze";
    programPath = argc > 0 ? argv[0] : nullptr;
    programName = fallbackName;
    if (programPath != nullptr && programPath[0] != '\0') {
        const char* slash = std::strrchr(programPath, '/');
        programName = const_cast<char*>(slash != nullptr ? slash + 1 : programPath);
    }
    glutInitErrorFunc(onGlutError);
    xlibErrorHandler = XSetErrorHandler(onRequestFailed);
    xlibConnectionLossHandler = XSetIOErrorHandler(onConnectionLost);
    // Writing to a connection the X server has closed would raise SIGPIPE,
    // whose default ends the process by a signal before Xlib could report the
    // loss; the run ignores SIGPIPE (keepRunningWhenReadersGo), so the write
    // fails instead, and Xlib reports the loss, which ends the run with its status.
    awaitingWindow = true;
}

void watchMazeWindow()
{
    // A GLUT that names its window some other way: watched from here on.
    if (awaitingWindow)
        watchWindow(glXGetCurrentDisplay(), glXGetCurrentDrawable());
    // GLUT destroying the window itself (glutDestroyWindow) is no loss to watch for.
    glutCloseFunc(stopWatching);
}
