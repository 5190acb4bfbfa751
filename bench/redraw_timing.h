// How long the window takes to show a maze, and each change of its view.
#ifndef REDRAW_TIMING_H
#define REDRAW_TIMING_H

// Carves and solves a square maze of the given side with the benchmark's
// seed, shows it in a window on the X display named by DISPLAY, and prints
// one line of times in milliseconds, each from the request (the callback GLUT
// calls for the wheel, the drag or the key) to glFinish:
//   SxS first_frame_ms=... notches=N
//       notch_in_preview_ms_median=... notch_in_preview_ms_max=...
//       notch_in_exact_ms_median=... notch_in_exact_ms_max=...
//       (and notch_out_, drag_, space_)
// Notches go in from the full view to the most zoom and back out, one at a
// time, about a point off the window's centre; at each zoom a drag pans by a
// tenth of the window and a space press switches the solution line. The
// preview is what the window shows when the callback's redraw returns (the
// kept pictures scaled and moved, or the exact view where it is drawn at
// once); the exact figure runs until the view itself is on the window. Returns
// the process exit status: 0, or 1 without a display.
int measureRedraws(int side);

#endif
