// How long the window takes to redraw a maze, at the full view and zoomed.
#ifndef REDRAW_TIMING_H
#define REDRAW_TIMING_H

// Carves and solves a square maze of the given side with the benchmark's
// seed, shows it in a window on the X display named by DISPLAY, and prints
// one line of redraw times in milliseconds, each from the redraw request to
// glFinish:
//   SxS full_first_ms=... full_later_ms=... full_solution_ms=...
//       notch1_first_step_ms=... zoom1000_first_ms=... zoom1000_later_ms=...
//       zoom1000_solution_ms=... (and 500, 200, 50 cells across)
// The later figures are the median of several redraws; the solution figures
// are later redraws with the solution line shown. A large view is drawn in
// steps, and its times run to the last one; notch1_first_step_ms is how soon
// the first notch in from the full view shows its first step. Returns the process
// exit status: 0, or 1 without a display.
int measureRedraws(int side);

#endif
