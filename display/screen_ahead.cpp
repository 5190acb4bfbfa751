#include "screen_ahead.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

// The connection opened by readScreenAhead until GLUT takes it: written by
// both on the main thread, before any other thread exists.
Display* displayAhead = nullptr;
std::string displayNameAhead;  // as Xlib resolves it: DISPLAY's value where no name is given

// freeglut passes DISPLAY's value where the run names no display, so names
// are compared as Xlib resolves them.
bool sameDisplayName(const char* name, const std::string& resolvedName)
{
    return resolvedName == XDisplayName(name);
}

Display* openDisplayForReal(const char* name)
{
    static const auto xlibOpenDisplay = reinterpret_cast<Display* (*)(const char*)>(dlsym(RTLD_NEXT, "XOpenDisplay"));
    return xlibOpenDisplay(name);
}

// Xlib says why a server refused the connection (no authorisation, too many
// clients) on standard error. Here that would come before carving and again
// when GLUT tries, so what it says on this first attempt is dropped.
Display* openDisplayQuietly(const char* name)
{
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    const int standardError = nowhere < 0 ? -1 : fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (standardError >= 0)
        dup2(nowhere, STDERR_FILENO);
    Display* display = openDisplayForReal(name);
    if (standardError >= 0) {
        dup2(standardError, STDERR_FILENO);
        close(standardError);
    }
    if (nowhere >= 0)
        close(nowhere);
    return display;
}

}  // namespace

// GLUT opens its connection with this call, which the dynamic linker resolves
// to the program's definition before Xlib's: the connection read ahead is
// handed over, once, to the call for the same display.
extern "C" Display* XOpenDisplay(const char* name)
{
    if (displayAhead != nullptr && sameDisplayName(name, displayNameAhead)) {
        Display* display = displayAhead;
        displayAhead = nullptr;
        return display;
    }
    return openDisplayForReal(name);
}

ScreenSize readScreenAhead(int argc, char** argv)
{
    // GLUT's own reading of its arguments: the name follows -display, and the
    // last one given counts.
    const char* name = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-display") == 0)
            name = argv[++i];
    }
    if (displayAhead == nullptr) {
        displayAhead = openDisplayQuietly(name);
        displayNameAhead = XDisplayName(name);
    }
    if (displayAhead == nullptr)
        return ScreenSize{0, 0};
    const int screen = DefaultScreen(displayAhead);
    return ScreenSize{DisplayWidth(displayAhead, screen), DisplayHeight(displayAhead, screen)};
}
