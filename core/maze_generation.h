// The opening of every run: the dialogue and the carving of a new maze.
#ifndef MAZE_GENERATION_H
#define MAZE_GENERATION_H

// Seeds the random source with the calendar time, asks for the size, then
// builds and carves the wall list between the two progress lines.
void generateMaze();

#endif
