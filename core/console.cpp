#include "console.h"

#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstdio>

#include "fatal_exit.h"
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

// Reads one decimal integer the way scanf's "%d" does (leading white space,
// an optional sign, digits), but without its undefined behaviour on overflow.
// A failed conversion leaves target untouched and the offending character
// unread, as scanf would. Returns false only when the digits typed describe a
// number outside the range of int.
bool readInteger(int& target)
{
    int next = std::getchar();
    while (next != EOF && std::isspace(next))
        next = std::getchar();

    bool negative = false;
    if (next == '-' || next == '+') {
        negative = next == '-';
        next = std::getchar();
    }
    if (next == EOF || !std::isdigit(next)) {
        if (next != EOF)
            std::ungetc(next, stdin);
        return true;
    }

    // Magnitude limit for the sign read: INT_MAX, or INT_MAX + 1 for a negative number.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    bool fits = true;
    while (next != EOF && std::isdigit(next)) {
        if (fits) {
            magnitude = magnitude * 10 + (next - '0');
            fits = magnitude <= limit;
        }
        next = std::getchar();
    }
    if (next != EOF)
        std::ungetc(next, stdin);
    if (fits)
        target = static_cast<int>(negative ? -magnitude : magnitude);
    return fits;
}

}  // namespace

void promptDimensions()
{
    consolePrint("< Maze Generator >\n\n");
    consolePrint("Reasonalbe values for height and width are < 150, but feel free to go higher\n\n");
    consolePrint("Please enter the width of the maze: ");
    bool widthFits = readInteger(mazeWidth);
    consolePrint("Please enter the height of the maze: ");
    bool heightFits = readInteger(mazeHeight);

    if (!widthFits || !heightFits || isRefusedSize(mazeWidth, mazeHeight))
        fatalExit(FATAL_SIZE_REFUSED);
}
