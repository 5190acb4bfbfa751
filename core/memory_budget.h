// Refusing a maze too large for this machine before the big allocations are
// made, rather than being killed by the kernel halfway through a run.
#ifndef MEMORY_BUDGET_H
#define MEMORY_BUDGET_H

// Bytes a run of the given size holds at most: walls, carving, solving and the
// compiled picture.
unsigned long long estimatedRunBytes(int width, int height);

// Installed physical memory.
unsigned long long physicalMemoryBytes();

// Whether a run of mazeWidth x mazeHeight fits in physical memory.
bool runFitsInMemory();

#endif
