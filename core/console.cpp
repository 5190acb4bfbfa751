#include "console.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>

#include "fatal_exit.h"
#include "integer_reading.h"
#include "maze.h"
#include "maze_size.h"
#include "standard_descriptors.h"

namespace {

// Written by consolePrint on whichever thread prints (maze_threaded's worker
// prints the solver's lines); read there and by consoleWriteFailure.
std::atomic<int> firstWriteError{0};  // the errno value of the first console write that failed, or 0
std::atomic<bool> readerGone{false};  // standard output's reader has gone: the text is dropped from then on

}  // namespace

void consolePrint(const char* format, ...)
{
    if (readerGone)
        return;
    va_list arguments;
    va_start(arguments, format);
    bool failed = std::vprintf(format, arguments) < 0;
    va_end(arguments);
    failed = std::fflush(stdout) != 0 || failed;
    if (!failed)
        return;
    const int error = errno;
    int none = 0;
    firstWriteError.compare_exchange_strong(none, error);
    if (error == EPIPE)
        readerGone = true;
    std::clearerr(stdout);
}

int consoleWriteFailure()
{
    // The text went to /dev/null in its place, and was not written.
    if (wasClosedAtStart(STDOUT_FILENO))
        return EBADF;
    return firstWriteError;
}

namespace {

// Standard input as readInteger reads it.
struct ConsoleInput {
    int get() { return std::getchar(); }
    void unget(int character) { std::ungetc(character, stdin); }
};

void greet()
{
    consolePrint("< Maze Generator >\n\n");
    consolePrint("Reasonalbe values for height and width are < 150, but feel free to go higher\n\n");
}

// Ends the run with level 9 for a number that did not fit in 32 bits or a size
// no maze can be built for.
void refuseUnbuildableSize(bool widthFits, bool heightFits)
{
    if (!widthFits || !heightFits || isRefusedSize(mazeWidth, mazeHeight))
        fatalExit(FATAL_SIZE_REFUSED);
}

}  // namespace

void promptDimensions()
{
    greet();
    ConsoleInput input;
    consolePrint("Please enter the width of the maze: ");
    const bool widthFits = readInteger(input, mazeWidth);
    consolePrint("Please enter the height of the maze: ");
    const bool heightFits = readInteger(input, mazeHeight);
    refuseUnbuildableSize(widthFits, heightFits);
}

void takeGivenDimensions(int width, int height, bool fits)
{
    greet();
    if (fits) {
        mazeWidth = width;
        mazeHeight = height;
    }
    refuseUnbuildableSize(fits, fits);
}
