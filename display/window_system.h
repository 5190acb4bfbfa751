// How a run ends when the window system lets it down or the window goes away.
#ifndef WINDOW_SYSTEM_H
#define WINDOW_SYSTEM_H

// Called before glutInit with the program's arguments, so that it covers the
// whole life of the connection and of the window:
// - GLUT's fatal errors (no display, among others) print GLUT's own message,
//   and a lost connection or a request the X server refuses prints Xlib's;
//   either ends the run with WINDOW_SYSTEM_FAILURE instead of status 1, which
//   means memory here.
// - The window destroyed by another client, at any moment from its creation
//   on, or asked to close (WM_DELETE_WINDOW) even while it is minimised or
//   has never been shown, ends the run with status 0. A window started
//   iconic does not hold the run until it is shown.
// - The window is named for window managers: WM_CLASS is the program's name
//   and "Maze".
void watchWindowSystem(int argc, char** argv);

// Called once glutCreateWindow has returned, on the GLUT thread.
void watchMazeWindow();

#endif
