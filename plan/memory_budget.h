// Refusing a maze too large for the memory this run may use, before the big
// allocations are made, rather than being killed by the kernel or crashing in
// the GL driver halfway through a run.
#ifndef MEMORY_BUDGET_H
#define MEMORY_BUDGET_H

#include "run_outputs.h"

// Which phases of a run hold memory at the same time.
enum RunSequence {
    SOLVE_THEN_SHOW,     // maze_serial: the solver is done before the window opens
    SHOW_WHILE_SOLVING,  // maze_threaded: the solver works while the first frame is drawn
};

// The most a run of the given size holds at once, from the dialogue to the
// first frame (or to the picture saved, without a window), the program, its
// libraries, the GL driver and the picture's writer included.
struct RunFootprint {
    unsigned long long resident;  // bytes in memory
    unsigned long long mapped;    // bytes of address space, in memory or only reserved
    unsigned long long data;      // bytes counted as data: the heap and every thread's stack
    unsigned long long threads;   // threads started besides the main one
};
RunFootprint estimatedRunFootprint(int width, int height, RunSequence sequence,
                                   const RunOutputs& outputs = RunOutputs{});

// Whether a run of mazeWidth x mazeHeight fits in the room this process has left.
bool runFitsInMemory(RunSequence sequence, const RunOutputs& outputs = RunOutputs{});

// The bytes the window's buffers may take in the room this process has left:
// what the estimate counts for them and the room beyond the whole estimate.
unsigned long long windowRoom(RunSequence sequence, const RunOutputs& outputs = RunOutputs{});

// Whether the limits on threads let the run start every thread it needs.
bool runThreadsCanStart(RunSequence sequence, const RunOutputs& outputs = RunOutputs{});

// The checks made right after "Generating maze...", before anything large is
// allocated: a picture too large for its format ends the run with
// SAVE_FAILURE, a run that would not fit in memory with fatal level 1, and one
// whose threads could not all start with level 11. A run that goes on gives
// its window the room windowRoom finds.
void checkRunFits(RunSequence sequence, const RunOutputs& outputs);

#endif
