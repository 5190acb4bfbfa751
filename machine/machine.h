// The machine as the checks before carving see it: how much more memory this
// process may take, how many more threads it may start, and what the threads
// the run starts cost.
#ifndef MACHINE_H
#define MACHINE_H

#include <string>
#include <vector>

// Where the machine is read from: the whole text of a file of /proc or /sys,
// or "" when it cannot be read; and the names of the directories in a
// directory there. Tests point them at machines of their own making.
extern std::string (*readSystemFile)(const std::string& path);
extern std::vector<std::string> (*listSystemDirectory)(const std::string& path);

// Room left for this process, in bytes; ~0ull where nothing limits it.
struct MemoryRoom {
    // The least of installed memory, memory available now, and the memory
    // cgroup's limit less what the cgroup uses (the file cache the kernel can
    // reclaim not counted), at every level of the cgroup tree above the process.
    unsigned long long resident;
    // The address-space limit (ulimit -v) less what the process maps now.
    unsigned long long mapped;
    // The data limit (ulimit -d) less the process's data now. The kernel counts
    // against it every private writable mapping but the main thread's stack
    // (VmData), so the stacks of the other threads too.
    unsigned long long data;
};

MemoryRoom memoryRoom();

// How many more threads this process may start: the pids cgroup's limit less
// what the cgroup counts, at every level above the process, and ulimit -u less
// the threads of the process's user where the kernel applies it; ~0ull where
// nothing limits them.
unsigned long long threadRoom();

// The address space glibc maps for the stack of each thread it starts: the
// soft stack limit (ulimit -s), or 2 MiB when that is unlimited.
unsigned long long threadStackBytes();

// Processors online, as glibc's malloc counts them; 1 when unknown.
int onlineProcessors();

// Processors this process may run on, as Mesa counts them; 1 when unknown.
int usableProcessors();

// The rasterizer threads llvmpipe starts: LP_NUM_THREADS when it holds a
// number, else the usable processors when there are two or more, else none;
// at most 32.
int llvmpipeRasterizerThreads();

#endif
