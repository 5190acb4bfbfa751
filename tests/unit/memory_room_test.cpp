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
constexpr unsigned long long available = 12582912 * kibibyte;

// Read by presentedFile: the machine the test presents.
Files presented;

std::string presentedFile(const std::string& path)
{
    const auto file = presented.find(path);
    return file == presented.end() ? "" : file->second;
}

Files limits(const std::string& data, const std::string& addressSpace)
{
    return {{"/proc/self/limits", "Limit                     Soft Limit           Hard Limit           Units\n"
                                  "Max data size             " + data + "            unlimited            bytes\n"
                                  "Max address space         " + addressSpace + "            unlimited            bytes\n"}};
}

class MemoryRoomTest : public ::testing::Test {
protected:
    void TearDown() override { readSystemFile = machineFiles; }

    // 16 GiB with 12 available, a process mapping 14496 KiB with 900 KiB of
    // data, no limits, two processors, in the root of a cgroup version 2 tree;
    // changed by changes.
    static void present(const Files& changes)
    {
        presented = {
            {"/proc/meminfo", "MemTotal:       16777216 kB\nMemFree:  1048576 kB\nMemAvailable:   12582912 kB\n"},
            {"/proc/self/status", "Name:\tmaze_serial\nVmSize:\t   14496 kB\nVmData:\t     900 kB\n"},
            {"/proc/self/cgroup", "0::/\n"},
            {"/proc/self/mountinfo", "22 1 0:21 / /proc rw - proc proc rw\n"
                                     "30 22 0:27 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw\n"},
            {"/sys/devices/system/cpu/online", "0-1\n"},
        };
        presented.merge(limits("unlimited", "unlimited"));
        for (const auto& [path, text] : changes)
            presented[path] = text;
        readSystemFile = presentedFile;
    }

private:
    std::string (*machineFiles)(const std::string&) = readSystemFile;
};

TEST_F(MemoryRoomTest, TheLeastOfEveryLimitThatApplies)
{
    const std::string v2 = "/sys/fs/cgroup/";
    const std::string v1 = "/sys/fs/cgroup/memory/process_api/";
    struct Machine {
        const char* shape;
        Files changes;
        unsigned long long resident;
        unsigned long long mapped;
    } const machines[] = {
        {"ordinary", {}, available, unlimited},
        {"nothing readable", {{"/proc/meminfo", ""}, {"/proc/self/status", ""}, {"/proc/self/limits", ""}}, unlimited,
         unlimited},
        {"ulimit -v 900 MiB", limits("unlimited", "943718400"), available, 900 * mebibyte - 14496 * kibibyte},
        {"ulimit -d 500 MiB, -v 900 MiB", limits("524288000", "943718400"), available, 500 * mebibyte - 900 * kibibyte},
        {"600 MiB container using 100 MiB, 40 of them reclaimable file cache",
         {{v2 + "memory.max", "629145600\n"}, {v2 + "memory.current", "104857600\n"},
          {v2 + "memory.stat", "anon 52428800\nfile 52428800\ninactive_file 41943040\n"}},
         540 * mebibyte, unlimited},
        {"unlimited cgroup in a parent of 1 GiB using 900 MiB",
         {{"/proc/self/cgroup", "0::/machine.slice/maze.scope\n"}, {v2 + "machine.slice/maze.scope/memory.max", "max\n"},
          {v2 + "machine.slice/memory.max", "1073741824\n"}, {v2 + "machine.slice/memory.current", "943718400\n"}},
         124 * mebibyte, unlimited},
        {"cgroup over its limit", {{v2 + "memory.max", "104857600\n"}, {v2 + "memory.current", "209715200\n"}}, 0,
         unlimited},
        {"version 1 memory controller of 300 MiB beside a version 2 tree",
         {{"/proc/self/cgroup", "12:memory:/process_api/run7\n4:cpu,cpuacct:/process_api/run7\n0::/\n"},
          {"/proc/self/mountinfo", "34 30 0:31 / /sys/fs/cgroup/memory rw - cgroup cgroup rw,memory\n"
                                   "35 30 0:32 / /sys/fs/cgroup/cpu,cpuacct rw - cgroup cgroup rw,cpu,cpuacct\n"
                                   "40 30 0:37 / /sys/fs/cgroup/unified rw - cgroup2 cgroup2 rw\n"},
          {v1 + "run7/memory.limit_in_bytes", "314572800\n"}, {v1 + "run7/memory.usage_in_bytes", "12582912\n"},
          {v1 + "run7/memory.stat", "cache 4194304\ntotal_inactive_file 2097152\n"},
          {v1 + "memory.limit_in_bytes", "9223372036854771712\n"}},
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
        EXPECT_EQ(memoryRoom().resident, machine.resident);
        EXPECT_EQ(memoryRoom().mapped, machine.mapped);
    }
    for (const auto& [online, count] : {std::pair{"0\n", 1}, {"0-3,8-11\n", 8}, {"0,2,4-5\n", 4}, {"", 1}}) {
        present({{"/sys/devices/system/cpu/online", online}});
        EXPECT_EQ(onlineProcessors(), count) << online;
    }
}

// 4000 x 4000 needs about a gigabyte, more than a 600 MiB container or an
// address space of 1200 MiB; small mazes fit in both. The GL driver maps a
// stack and an arena for two threads per processor, so the same address-space
// limit refuses even a small maze on a machine with many processors.
TEST_F(MemoryRoomTest, ARunFitsOnlyWithinBothKindsOfRoom)
{
    const Files container = {{"/sys/fs/cgroup/memory.max", "629145600\n"}, {"/sys/fs/cgroup/memory.current", "0\n"}};
    const Files addressSpace = limits("unlimited", "1258291200");
    Files manyProcessors = addressSpace;
    manyProcessors["/sys/devices/system/cpu/online"] = "0-15\n";
    struct Run {
        const char* shape;
        Files changes;
        int side;
        bool fits;
    } const runs[] = {{"ordinary", {}, 4000, true},           {"600 MiB container", container, 4000, false},
                      {"600 MiB container", container, 300, true}, {"ulimit -v 1200 MiB", addressSpace, 4000, false},
                      {"ulimit -v 1200 MiB", addressSpace, 150, true}, {"16 processors", manyProcessors, 150, false}};
    for (const Run& run : runs) {
        for (RunSequence sequence : {SOLVE_THEN_SHOW, SHOW_WHILE_SOLVING}) {
            SCOPED_TRACE(std::string(run.shape) + ", side " + std::to_string(run.side) + ", sequence " +
                         std::to_string(sequence));
            present(run.changes);
            mazeWidth = mazeHeight = run.side;
            EXPECT_EQ(runFitsInMemory(sequence), run.fits);
        }
    }
    mazeWidth = mazeHeight = 0;
}

}  // namespace
