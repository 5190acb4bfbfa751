// Putting the carved maze on screen.
#ifndef MAZE_WINDOW_H
#define MAZE_WINDOW_H

// Opens the window, installs displayMaze, onReshape (which keeps the window
// within the screen), onKey and the mouse callbacks that zoom and pan, and
// compiles the maze picture. The wall list is no longer read by the display
// afterwards.
void showMazeWindow(int* argc, char** argv);

#endif
