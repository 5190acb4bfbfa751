#include "maze.h"

// Zero until the user has typed them.
int mazeWidth = 0;
int mazeHeight = 0;

Wall* walls = nullptr;

int wallCount()
{
    // Wrap rather than overflow: sizes whose count does not fit are refused
    // before any wall is built, and negative counts are reported as such.
    unsigned width = static_cast<unsigned>(mazeWidth);
    unsigned height = static_cast<unsigned>(mazeHeight);
    return static_cast<int>(width * (height - 1u) + height * (width - 1u));
}
