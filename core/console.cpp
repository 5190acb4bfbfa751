#include "console.h"

#include <cstdarg>
#include <cstdio>

#include "fatal_exit.h"
#include "integer_reading.h"
#include "maze.h"
#include "maze_size.h"

void consolePrint(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::fflush(stdout);
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
