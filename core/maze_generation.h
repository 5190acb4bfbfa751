// Carving a new maze of the size the run has taken.
#ifndef MAZE_GENERATION_H
#define MAZE_GENERATION_H

// Builds the wall list of mazeWidth x mazeHeight, carves it with mazeCarving
// and the random sources as seeded, and prints "Done generating maze...".
void carveNewMaze();

// The same for a wall list already created (createWallList), which the show
// opens its window on before it is carved.
void carveCreatedMaze();

// How carveNewMaze carves: Kruskal's carveMaze unless the run's plan chose
// another carving (carving/chosen_carving.h) before carving began. Read on
// the main thread only.
extern void (*mazeCarving)();

#endif
