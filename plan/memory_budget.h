// Refusing a maze too large for the memory this run may use, before the big
// allocations are made, rather than being killed by the kernel or crashing in
// the GL driver halfway through a run.
#ifndef MEMORY_BUDGET_H
#define MEMORY_BUDGET_H

// Which phases of a run hold memory at the same time.
enum RunSequence {
    SOLVE_THEN_SHOW,     // maze_serial: the solver is done before the window opens
    SHOW_WHILE_SOLVING,  // maze_threaded: the solver works while the first frame is drawn
};

// The most a run of the given size holds at once, from the dialogue to the
// first frame, the program, its libraries and the GL driver included.
struct RunFootprint {
    unsigned long long resident;  // bytes in memory
    unsigned long long mapped;    // bytes of address space, in memory or only reserved
    unsigned long long data;      // bytes counted as data: the heap and every thread's stack
    unsigned long long threads;   // threads started besides the main one
};
RunFootprint estimatedRunFootprint(int width, int height, RunSequence sequence);

// Whether a run of mazeWidth x mazeHeight fits in the room this process has left.
bool runFitsInMemory(RunSequence sequence);

// Whether the limits on threads let the run start every thread it needs.
bool runThreadsCanStart(RunSequence sequence);

#endif
