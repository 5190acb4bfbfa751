// Carving a new maze of the size the run has taken.
#ifndef MAZE_GENERATION_H
#define MAZE_GENERATION_H

// Builds the wall list of mazeWidth x mazeHeight, carves it with the random
// source as seeded, and prints "Done generating maze...".
void carveNewMaze();

#endif
