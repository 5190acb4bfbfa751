// The machine as the memory check sees it: how much more memory this process
// may take, and how many processors the GL driver starts threads for.
#ifndef MACHINE_H
#define MACHINE_H

#include <string>

// Where the machine is read from: the whole text of a file of /proc or /sys,
// or "" when it cannot be read. Tests point it at machines of their own making.
extern std::string (*readSystemFile)(const std::string& path);

// Room left for this process, in bytes; ~0ull where nothing limits it.
struct MemoryRoom {
    // The least of installed memory, memory available now, and the memory
    // cgroup's limit less what the cgroup uses (its reclaimable file cache
    // not counted), at every level of the cgroup tree above the process.
    unsigned long long resident;
    // The address-space limit less what the process maps now, or the
    // data-segment limit less its data now, whichever is less.
    unsigned long long mapped;
};

MemoryRoom memoryRoom();

// Processors online; 1 when unknown.
int onlineProcessors();

#endif
