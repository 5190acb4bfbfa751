// What the machine's memory allows: the pace every pass over a large maze's
// arrays is bound by.
#ifndef MEMORY_BANDWIDTH_H
#define MEMORY_BANDWIDTH_H

// Times reading, writing and copying a buffer of a GiB, far beyond the
// caches, on one thread and on two, and prints one line:
//   bandwidth read_gbps=... write_gbps=... copy_gbps=... read_two_threads_gbps=... write_two_threads_gbps=...
// (copy counts the bytes read and written). Returns 0.
int measureMemoryBandwidth();

#endif
