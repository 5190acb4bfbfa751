// One size's measurements, made in a process of its own so that its peak
// memory is not inflated by what an earlier size left behind.
#ifndef SIZE_RUN_H
#define SIZE_RUN_H

#include <cstdint>

#include "window.h"

struct SizeRun {
    int width;
    int height;
    std::uint32_t seed;
    int repetitions;            // runs of the fast code; the median is reported
    bool compareWithReference;  // also time the reference versions on the same maze
};

// Measures run and prints its result line on standard output. Returns the
// process exit status: 0, or 1 when the fast code and the reference disagree.
int measureSize(const SizeRun& run);

// Prints what the memory check expects a whole run of the size to hold at
// most, window included, for maze_serial and for maze_threaded, with the
// window on a screen of the given size ({0, 0}: the one assumed when no
// screen can be read), in memory and, with every thread's stack, as data:
//   estimated_run_mib=... estimated_threaded_run_mib=... estimated_run_data_mib=...
//   estimated_threaded_run_data_mib=...
void printEstimates(int width, int height, ScreenSize screen);

// The same for runs that save the picture, with its solution, with the window
// and without:
//   estimated_png_mib=... estimated_threaded_png_mib=... estimated_png_no_window_mib=...
//   estimated_threaded_png_no_window_mib=... (and the same for svg and pdf)
void printSavingEstimates(int width, int height, ScreenSize screen, int cellSize);

#endif
