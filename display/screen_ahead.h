// The screen the window will open on, read before the maze is carved, so that
// the memory check can weigh a window of that screen's size.
#ifndef SCREEN_AHEAD_H
#define SCREEN_AHEAD_H

#include "window.h"

// The size of the screen GLUT will open the window on: the default screen of
// the display named by GLUT's -display argument (the last one given), or by
// DISPLAY. The connection opened for it is kept and handed to GLUT when it
// opens its own, so a run still makes one connection, which a server with a
// single one to spare allows. {0, 0} when the display cannot be opened;
// nothing is printed then: GLUT tries again and reports it, in its own words
// and Xlib's, when the window is due, as it always has.
ScreenSize readScreenAhead(int argc, char** argv);

#endif
