// How a run ends when the window system lets it down or the window goes away.
#ifndef WINDOW_SYSTEM_H
#define WINDOW_SYSTEM_H

// Called before glutInit with the program's arguments. GLUT's fatal errors (no
// display, among others) then print GLUT's own message and end the run with
// WINDOW_SYSTEM_FAILURE instead of GLUT's status 1, which means memory here.
void reportGlutFailures(int argc, char** argv);

// Called once the window exists. A lost connection to the X server, or a
// request it refuses, ends the run with WINDOW_SYSTEM_FAILURE after Xlib's own
// message; the window destroyed by any client ends it with status 0, as
// closing the window does, even while a frame is being drawn into it.
void watchMazeWindow();

#endif
