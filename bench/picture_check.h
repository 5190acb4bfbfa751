// Reading a saved picture back as a maze: the check that a PNG of the largest
// mazes, too large for the tests' readers, holds a perfect maze.
#ifndef PICTURE_CHECK_H
#define PICTURE_CHECK_H

// Reads a PNG saved at 2 pixels a cell, row by row, takes each wall from the
// pixel it is drawn on, and prints one line:
//   picture WxH removed=N perfect=yes|no
// perfect when the removed walls join every cell to every other by exactly
// one path and the border is closed but for the entrance and the exit.
// Returns 0 when the maze is perfect, 1 when not or the file cannot be read.
int checkSavedPicture(const char* path);

#endif
