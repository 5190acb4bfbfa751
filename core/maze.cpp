#include "maze.h"

// The maze's size: zero until the user has typed it. Written once by
// promptDimensions before anything else runs; read-only afterwards, from both
// threads of the threaded program.
int mazeWidth = 0;
int mazeHeight = 0;

int wallCount()
{
    // Wrap rather than overflow: sizes whose count does not fit are refused
    // before any wall is built, and negative counts are reported as such.
    unsigned width = static_cast<unsigned>(mazeWidth);
    unsigned height = static_cast<unsigned>(mazeHeight);
    return static_cast<int>(width * (height - 1u) + height * (width - 1u));
}
