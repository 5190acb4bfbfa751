// window_race PROGRAM WIDTHxHEIGHT ACTION MICROSECONDS STATUS [ARGUMENT...]
// Runs PROGRAM with the size typed in and its ARGUMENTs, acts on its window MICROSECONDS after
// the X server reports it created, and passes when the program then ends by itself with STATUS,
// without a word on standard error unless the connection was killed. ACTION: destroy, kill,
// unmap-destroy, reparent-destroy (into a frame of ours, then the frame destroyed); under openbox:
// minimise-destroy, minimise-close, close (asked of the window manager, once the program has said
// all it has to). "full-" before ACTION first takes every connection the server has but one.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// Polls until the condition holds; false once the seconds have passed.
template <typename Condition>
bool waitUntil(double seconds, Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
}

// What a file holds so far: a process may still be writing to it.
std::string contents(FILE* file)
{
    std::string text(8192, '\0');
    text.resize(std::max<ssize_t>(0, pread(fileno(file), &text[0], text.size(), 0)));
    return text;
}

pid_t start(char** arguments, FILE* input, FILE* output, FILE* errors)
{
    const pid_t child = fork();
    if (child == 0) {
        dup2(fileno(input), 0);
        dup2(fileno(output), 1);
        dup2(fileno(errors), 2);
        execvp(arguments[0], arguments);
        _exit(127);
    }
    return child;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 6)
        return 2;
    std::string action = argv[3];
    const bool fullServer = action.rfind("full-", 0) == 0;
    action.erase(0, fullServer ? 5 : 0);
    const bool underWindowManager = action == "minimise-destroy" || action == "minimise-close" || action == "close";
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // the window may be gone already
    Display* display = XOpenDisplay(nullptr);
    const Window root = DefaultRootWindow(display);
    const Atom clientList = XInternAtom(display, "_NET_CLIENT_LIST", False);
    FILE* output = std::tmpfile();
    FILE* errors = std::tmpfile();
    pid_t windowManager = 0;
    if (underWindowManager) {
        // Windows mapped while openbox starts up may stay unmanaged: its word that it has started.
        char* openbox[] = {const_cast<char*>("openbox"), const_cast<char*>("--startup"),
                           const_cast<char*>("echo started"), nullptr};
        FILE* said = std::tmpfile();
        windowManager = start(openbox, stdin, said, stderr);
        waitUntil(10, [&] { return contents(said).find("started") != std::string::npos; });
    }
    Display* last = nullptr;
    while (fullServer) {
        Display* next = XOpenDisplay(nullptr);  // Xlib complains on our standard error at the limit
        if (next == nullptr)
            break;
        last = next;
    }
    if (last != nullptr)
        XCloseDisplay(last);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    FILE* input = std::tmpfile();
    std::string size = argv[2];
    size[size.find('x')] = '\n';
    std::fprintf(input, "%s\n", size.c_str());
    std::rewind(input);
    const std::string expected = argv[5];
    argv[5] = argv[1];  // the program's argv[0], its arguments after it
    const pid_t program = start(argv + 5, input, output, errors);
    // The first window created; under openbox, which creates windows of its own, the first it manages.
    Window window = None;
    const bool appeared = waitUntil(30, [&] {
        XEvent created;
        Atom type;
        int format;
        unsigned long count = 0, after;
        unsigned char* value = nullptr;
        if (underWindowManager &&
            XGetWindowProperty(display, root, clientList, 0, 1, False, AnyPropertyType, &type, &format, &count,
                               &after, &value) == Success && count > 0)
            window = *reinterpret_cast<Window*>(value);
        else if (!underWindowManager && XCheckTypedWindowEvent(display, root, CreateNotify, &created))
            window = created.xcreatewindow.window;
        XFree(value);
        return window != None;
    });
    auto viewable = [&] {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
    };
    bool ranOn = true;  // with the window never shown, the program still said all it had to
    if (appeared) {
        std::this_thread::sleep_for(std::chrono::microseconds(std::atol(argv[4])));
        if (action == "minimise-destroy" || action == "minimise-close") {
            waitUntil(20, viewable);
            XIconifyWindow(display, window, DefaultScreen(display));
            waitUntil(20, [&] { return !viewable(); });
        } else if (action == "unmap-destroy") {
            XUnmapWindow(display, window);
        } else if (action == "reparent-destroy") {
            const Window frame = XCreateSimpleWindow(display, root, 0, 0, 9, 9, 0, 0, 0);
            XReparentWindow(display, window, frame, 0, 0);
            window = frame;  // destroyed below, and the window inside with it
        } else if (action == "kill") {
            XKillClient(display, window);
        } else if (action == "close") {
            ranOn = waitUntil(10, [&] { return contents(output).find("Press spacebar") != std::string::npos; });
        }
        if (action == "close" || action == "minimise-close") {
            XEvent close{};
            close.xclient.type = ClientMessage;
            close.xclient.window = window;
            close.xclient.message_type = XInternAtom(display, "_NET_CLOSE_WINDOW", False);
            close.xclient.format = 32;
            XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &close);
        } else if (action != "kill") {
            XSync(display, False);
            XDestroyWindow(display, window);
        }
        XSync(display, False);
    }
    int status = -1;
    if (!waitUntil(5, [&] { return waitpid(program, &status, WNOHANG) == program; }))
        kill(program, SIGKILL);
    if (windowManager > 0) {
        kill(windowManager, SIGTERM);
        waitpid(windowManager, nullptr, 0);
        // Openbox leaves its mark, which freeglut would follow to a window that is gone.
        XDeleteProperty(display, root, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False));
        XSync(display, False);
    }
    const std::string said = contents(errors);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : status < 0 ? -1 : 128 + WTERMSIG(status);
    std::printf("%s %s %s at %s us: %s %d\n%s%s", argv[1], argv[2], argv[3], argv[4],
                !appeared ? "no window; status" : "status", code, said.c_str(),
                ranOn ? "" : "the program stood still while its window was not shown\n");
    return appeared && std::to_string(code) == expected && ranOn && (said.empty() || expected == "10") ? 0 : 1;
}
