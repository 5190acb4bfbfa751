// The maze picture: borders and standing walls compiled once into a display list.
#ifndef MAZE_PICTURE_H
#define MAZE_PICTURE_H

// Fixed display list names.
enum DisplayList {
    MAZE_LIST = 1,      // the maze, replayed on every redraw
    SOLUTION_LIST = 2,  // the solution line, compiled on the first redraw after solving
};

// Sets a white background and a projection with one cell of margin around the
// maze (row 0 at the top), and compiles the borders, with the entrance above
// the start and the exit beside the goal, and every standing wall of walls
// into MAZE_LIST. Draws nothing.
void compileMazeList();

#endif
