// How long saving the pictures takes beside carving the maze they show.
#ifndef PICTURE_TIMING_H
#define PICTURE_TIMING_H

// Carves and solves each size once, then saves it in each format the size is
// timed for, into a scratch directory, and prints a line a size:
//   4000x4000 carve_ms=... solve_ms=... png_2px_ms=... png_bytes=...
//   1000x1000 carve_ms=... solve_ms=... svg_ms=... svg_bytes=... pdf_ms=... pdf_bytes=...
// Every picture holds the solution (the PDF on its second page). Returns the
// process exit status.
int measurePictures();

#endif
