// The memory check on machines of any shape, presented to it as the files of
// /proc and /sys it reads: installed and available memory, the process's
// limits, its memory cgroup under either version, and the processors.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "machine.h"
#include "maze.h"
#include "memory_budget.h"

namespace {

using Files = std::map<std::string, std::string>;

constexpr unsigned long long kibibyte = 1024;
constexpr unsigned long long mebibyte = 1024 * kibibyte;
constexpr unsigned long long unlimited = ~0ull;

// Read by presentedFile: the machine the test presents.
Files presented;

std::string presentedFile(const std::string& path)
{
    const auto file = presented.find(path);
    return file == presented.end() ? "" : file->second;
}

std::string limitsWith(const std::string& data, const std::string& addressSpace)
{
    return "Limit                     Soft Limit           Hard Limit           Units     \n"
           "Max stack size            8388608              unlimited            bytes     \n"
           "Max data size             " + data + "            unlimited            bytes     \n"
           "Max address space         " + addressSpace + "            unlimited            bytes     \n";
}

// 16 GiB with 12 available, a process mapping 14496 KiB with 900 KiB of data,
// no limits, two processors, in the root of a cgroup version 2 tree.
Files ordinaryMachine()
{
    return {
        {"/proc/meminfo", "MemTotal:       16777216 kB\nMemFree:         1048576 kB\nMemAvailable:   12582912 kB\n"},
        {"/proc/self/status", "Name:\tmaze_serial\nVmPeak:\t   14500 kB\nVmSize:\t   14496 kB\nVmData:\t     900 kB\n"},
        {"/proc/self/limits", limitsWith("unlimited", "unlimited")},
        {"/proc/self/cgroup", "0::/\n"},
        {"/proc/self/mountinfo", "22 1 0:21 / /proc rw - proc proc rw\n"
                                 "30 22 0:27 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw,nsdelegate\n"},
        {"/sys/devices/system/cpu/online", "0-1\n"},
    };
}

struct Machine {
    const char* shape;
    Files changes;  // over the ordinary machine
    unsigned long long resident;
    unsigned long long mapped;
};

class MemoryRoomTest : public ::testing::Test {
protected:
    void TearDown() override { readSystemFile = machineFiles; }

    static void present(const Files& changes)
    {
        presented = ordinaryMachine();
        for (const auto& [path, text] : changes)
            presented[path] = text;
        readSystemFile = presentedFile;
    }

private:
    std::string (*machineFiles)(const std::string&) = readSystemFile;
};

TEST_F(MemoryRoomTest, TheLeastOfEveryLimitThatApplies)
{
    const std::string hybridCgroups = "12:memory:/process_api/run7\n4:cpu,cpuacct:/process_api/run7\n0::/\n";
    const std::string hybridMounts =
        "30 22 0:27 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n"
        "34 30 0:31 / /sys/fs/cgroup/memory rw,relatime - cgroup cgroup rw,memory\n"
        "35 30 0:32 / /sys/fs/cgroup/cpu,cpuacct rw,relatime - cgroup cgroup rw,cpu,cpuacct\n"
        "40 30 0:37 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n";
    const Machine machines[] = {
        {"ordinary", {}, 12582912 * kibibyte, unlimited},
        {"no MemAvailable (old kernel)", {{"/proc/meminfo", "MemTotal:  16777216 kB\n"}}, 16 * 1024 * mebibyte,
         unlimited},
        {"nothing readable", {{"/proc/meminfo", ""}, {"/proc/self/status", ""}, {"/proc/self/limits", ""},
                              {"/proc/self/cgroup", ""}, {"/proc/self/mountinfo", ""}},
         unlimited, unlimited},
        {"ulimit -v 900 MiB", {{"/proc/self/limits", limitsWith("unlimited", "943718400")}}, 12582912 * kibibyte,
         900 * mebibyte - 14496 * kibibyte},
        {"ulimit -d 500 MiB under ulimit -v 900 MiB", {{"/proc/self/limits", limitsWith("524288000", "943718400")}},
         12582912 * kibibyte, 500 * mebibyte - 900 * kibibyte},
        {"an address-space limit below what is mapped already",
         {{"/proc/self/limits", limitsWith("unlimited", "10000000")}}, 12582912 * kibibyte, 0},
        {"container of 600 MiB, 100 MiB used of which 40 MiB reclaimable file cache",
         {{"/sys/fs/cgroup/memory.max", "629145600\n"}, {"/sys/fs/cgroup/memory.current", "104857600\n"},
          {"/sys/fs/cgroup/memory.stat", "anon 52428800\nfile 52428800\ninactive_file 41943040\n"}},
         540 * mebibyte, unlimited},
        {"cgroup without a limit of its own inside a parent of 1 GiB, 900 MiB used",
         {{"/proc/self/cgroup", "0::/machine.slice/maze.scope\n"},
          {"/sys/fs/cgroup/machine.slice/maze.scope/memory.max", "max\n"},
          {"/sys/fs/cgroup/machine.slice/maze.scope/memory.current", "4194304\n"},
          {"/sys/fs/cgroup/machine.slice/memory.max", "1073741824\n"},
          {"/sys/fs/cgroup/machine.slice/memory.current", "943718400\n"}},
         124 * mebibyte, unlimited},
        {"cgroup over its limit", {{"/sys/fs/cgroup/memory.max", "104857600\n"},
                                   {"/sys/fs/cgroup/memory.current", "209715200\n"}},
         0, unlimited},
        {"version 1 memory controller of 300 MiB beside an unlimited version 2 tree",
         {{"/proc/self/cgroup", hybridCgroups},
          {"/proc/self/mountinfo", hybridMounts},
          {"/sys/fs/cgroup/memory/process_api/run7/memory.limit_in_bytes", "314572800\n"},
          {"/sys/fs/cgroup/memory/process_api/run7/memory.usage_in_bytes", "12582912\n"},
          {"/sys/fs/cgroup/memory/process_api/run7/memory.stat", "cache 4194304\ntotal_inactive_file 2097152\n"},
          {"/sys/fs/cgroup/memory/process_api/memory.limit_in_bytes", "9223372036854771712\n"},
          {"/sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"}},
         290 * mebibyte, unlimited},
        {"cgroup mounted below its own path, at a path with a space",
         {{"/proc/self/cgroup", "0::/lxc/box7\n"},
          {"/proc/self/mountinfo", "30 22 0:27 /lxc/box7 /sys/fs/cgroup\\040two rw - cgroup2 cgroup2 rw\n"},
          {"/sys/fs/cgroup two/memory.max", "314572800\n"}, {"/sys/fs/cgroup two/memory.current", "0\n"}},
         300 * mebibyte, unlimited},
    };
    for (const Machine& machine : machines) {
        SCOPED_TRACE(machine.shape);
        present(machine.changes);
        const MemoryRoom room = memoryRoom();
        EXPECT_EQ(room.resident, machine.resident);
        EXPECT_EQ(room.mapped, machine.mapped);
    }
}

TEST_F(MemoryRoomTest, ProcessorsAreCountedFromTheOnlineRanges)
{
    const std::pair<const char*, int> listings[] = {{"0\n", 1}, {"0-1\n", 2}, {"0-3,8-11\n", 8}, {"0,2,4-5\n", 4},
                                                    {"", 1}};
    for (const auto& [online, count] : listings) {
        present({{"/sys/devices/system/cpu/online", online}});
        EXPECT_EQ(onlineProcessors(), count) << online;
    }
}

// Whether a run fits follows both kinds of room: 4000 x 4000 needs about a
// gigabyte, more than a 600 MiB container or an address space of 1200 MiB;
// small mazes fit in both. The GL driver maps a stack and an arena for two
// threads per processor, so the same address-space limit refuses even a small
// maze on a machine with many processors.
TEST_F(MemoryRoomTest, ARunFitsOnlyWithinBothKindsOfRoom)
{
    struct Run {
        const char* shape;
        Files changes;
        int width;
        int height;
        bool fits;
    };
    const Files container = {{"/sys/fs/cgroup/memory.max", "629145600\n"}, {"/sys/fs/cgroup/memory.current", "0\n"}};
    const Files addressSpace = {{"/proc/self/limits", limitsWith("unlimited", "1258291200")}};
    Files manyProcessors = addressSpace;
    manyProcessors["/sys/devices/system/cpu/online"] = "0-15\n";
    const Run runs[] = {
        {"ordinary", {}, 4000, 4000, true},          {"600 MiB container", container, 4000, 4000, false},
        {"600 MiB container", container, 300, 300, true}, {"ulimit -v 1200 MiB", addressSpace, 4000, 4000, false},
        {"ulimit -v 1200 MiB", addressSpace, 150, 150, true},
        {"ulimit -v 1200 MiB, 16 processors", manyProcessors, 150, 150, false},
    };
    for (const Run& run : runs) {
        for (RunSequence sequence : {SOLVE_THEN_SHOW, SHOW_WHILE_SOLVING}) {
            SCOPED_TRACE(std::string(run.shape) + ", " + std::to_string(run.width) + " x " + std::to_string(run.height) +
                         (sequence == SOLVE_THEN_SHOW ? ", serial" : ", threaded"));
            present(run.changes);
            mazeWidth = run.width;
            mazeHeight = run.height;
            EXPECT_EQ(runFitsInMemory(sequence), run.fits);
        }
    }
    mazeWidth = 0;
    mazeHeight = 0;
}

}  // namespace
