// The opening of every run: the dialogue and the carving of a new maze.
#ifndef MAZE_GENERATION_H
#define MAZE_GENERATION_H

#include "memory_budget.h"

// Seeds the random source with the calendar time, asks for the size, then
// builds and carves the wall list between the two progress lines. A maze whose
// run, in the given sequence, would not fit in the memory left ends with fatal
// level 1 before anything large is allocated, and a run whose threads could not
// all be started ends there with level 11.
void generateMaze(RunSequence sequence);

#endif
