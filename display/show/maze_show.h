// The show --watch asks for: the window opens on the closed grid before the
// maze is carved, and shows each step of the carving and then of the
// solver's search as it is taken, at the pace asked for, while zooming,
// panning, resizing and closing work as ever. Once solved, the window shows
// the maze exactly as a run without the show does.
#ifndef MAZE_SHOW_H
#define MAZE_SHOW_H

// Opens the window on the wall list just created (before carving), on the
// GLUT thread, and takes every step from then on at stepsPerSecond
// (unlimitedShowPace: as fast as the machine goes). drawnBetweenSteps: the
// thread that will carve and solve is this one, which draws the frames
// between its steps (maze_serial); otherwise the GLUT loop draws them, a
// frame at a time, while another thread carves and solves (maze_threaded).
void startShow(int* argc, char** argv, long long stepsPerSecond, bool drawnBetweenSteps);

// Called once the maze is solved, on the thread that carved and solved it:
// the window shows the finished maze from its next frame on, at once where
// the frames are drawn between steps.
void endShow();

#endif
