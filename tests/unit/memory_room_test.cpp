// The checks before carving on machines of any shape, presented to them as the
// files of /proc and /sys they read: installed and available memory, the
// process's limits, its memory and pids cgroups under either version, seen
// from inside a cgroup namespace or not, its user's threads, and the processors.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "carving_algorithms.h"
#include "machine.h"
#include "maze.h"
#include "picture_request.h"
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

// The directories that hold the presented files.
std::vector<std::string> presentedDirectory(const std::string& path)
{
    std::set<std::string> names;
    for (const auto& [file, text] : presented) {
        const std::size_t end = file.find('/', path.size() + 1);
        if (file.rfind(path + "/", 0) == 0 && end != std::string::npos)
            names.insert(file.substr(path.size() + 1, end - path.size() - 1));
    }
    return {names.begin(), names.end()};
}

Files limits(const std::string& data, const std::string& addressSpace, const std::string& stack = "8388608",
             const std::string& processes = "unlimited")
{
    return {{"/proc/self/limits", "Limit                     Soft Limit           Hard Limit           Units\n"
                                  "Max stack size            " + stack + "              unlimited            bytes\n"
                                  "Max processes             " + processes + "            unlimited    processes\n"
                                  "Max data size             " + data + "            unlimited            bytes\n"
                                  "Max address space         " + addressSpace + "            unlimited            bytes\n"}};
}

class MemoryRoomTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        readSystemFile = machineFiles;
        listSystemDirectory = machineDirectories;
        unsetenv("LP_NUM_THREADS");
    }

    // 16 GiB with 12 available, a process of user 1000 mapping 14496 KiB with
    // 900 KiB of data, no limits but an 8 MiB stack, two processors, in the
    // root of a cgroup version 2 tree, LP_NUM_THREADS unset, another process of
    // the user's with 40 threads and one of root's with 99; changed by changes.
    static void present(const Files& changes)
    {
        presented = {
            {"/proc/meminfo", "MemTotal:       16777216 kB\nMemFree:  1048576 kB\nMemAvailable:   12582912 kB\n"},
            {"/proc/self/status", "Name:\tmaze_serial\nUid:\t1000\t1000\t1000\t1000\nVmSize:\t   14496 kB\n"
                                  "VmData:\t     900 kB\nCapEff:\t0000000000000000\n"},
            {"/proc/self/cgroup", "0::/\n"},
            {"/proc/self/mountinfo", "22 1 0:21 / /proc rw - proc proc rw\n"
                                     "30 22 0:27 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw\n"},
            {"/sys/devices/system/cpu/online", "0-1\n"},
            {"/proc/100/status", "Uid:\t1000\nThreads:\t40\n"}, {"/proc/200/status", "Uid:\t0\nThreads:\t99\n"},
        };
        presented.merge(limits("unlimited", "unlimited"));
        for (const auto& [path, text] : changes)
            presented[path] = text;
        readSystemFile = presentedFile;
        listSystemDirectory = presentedDirectory;
        unsetenv("LP_NUM_THREADS");
    }

private:
    std::string (*machineFiles)(const std::string&) = readSystemFile;
    std::vector<std::string> (*machineDirectories)(const std::string&) = listSystemDirectory;
};

// Each machine's room for memory, address space and data, for threads, and
// the stack each thread takes; ulimit -u binds only where the kernel applies it.
TEST_F(MemoryRoomTest, TheLeastOfEveryLimitThatApplies)
{
    const std::string v2 = "/sys/fs/cgroup/";
    const std::string v1 = "/sys/fs/cgroup/memory/process_api/";
    const std::string fifty = limits("unlimited", "unlimited", "8388608", "50").begin()->second;
    const unsigned long long stack = 8 * mebibyte;
    struct Machine {
        const char* shape;
        Files changes;
        unsigned long long resident, mapped, data, threads, stack;
    } const machines[] = {
        {"ordinary", {}, available, unlimited, unlimited, unlimited, stack},
        {"nothing readable", {{"/proc/meminfo", ""}, {"/proc/self/status", ""}, {"/proc/self/limits", ""}}, unlimited,
         unlimited, unlimited, unlimited, 2 * mebibyte},
        {"ulimit -v 900 MiB, -s unlimited", limits("unlimited", "943718400", "unlimited"), available,
         900 * mebibyte - 14496 * kibibyte, unlimited, unlimited, 2 * mebibyte},
        {"ulimit -d 500 MiB, -v 900 MiB, -s 10000000 bytes", limits("524288000", "943718400", "10000000"), available,
         900 * mebibyte - 14496 * kibibyte, 500 * mebibyte - 900 * kibibyte, unlimited, 2442 * 4096ull},
        {"600 MiB container using 400 MiB, 300 of them file cache, 50 of those not yet written",
         {{v2 + "memory.max", "629145600\n"}, {v2 + "memory.current", "419430400\n"},
          {v2 + "memory.stat", "anon 104857600\nfile 314572800\nactive_file 209715200\ninactive_file 104857600\n"
                               "file_dirty 31457280\nfile_writeback 20971520\n"}},
         450 * mebibyte, unlimited, unlimited, unlimited, stack},
        {"unlimited cgroup in a parent of 1 GiB using 900 MiB, pids 40 of 30 in 100 of 95",
         {{"/proc/self/cgroup", "0::/machine.slice/maze.scope\n"}, {v2 + "machine.slice/maze.scope/memory.max", "max\n"},
          {v2 + "machine.slice/memory.max", "1073741824\n"}, {v2 + "machine.slice/memory.current", "943718400\n"},
          {v2 + "machine.slice/maze.scope/pids.max", "40\n"}, {v2 + "machine.slice/maze.scope/pids.current", "30\n"},
          {v2 + "machine.slice/pids.max", "100\n"}, {v2 + "machine.slice/pids.current", "95\n"}},
         124 * mebibyte, unlimited, unlimited, 5, stack},
        {"cgroup over its limit", {{v2 + "memory.max", "104857600\n"}, {v2 + "memory.current", "209715200\n"}}, 0,
         unlimited, unlimited, unlimited, stack},
        {"version 1 memory controller of 300 MiB and pids of 40 holding 30 beside a version 2 tree",
         {{"/proc/self/cgroup", "12:memory:/process_api/run7\n8:pids:/run7\n4:cpu,cpuacct:/process_api/run7\n0::/\n"},
          {"/proc/self/mountinfo", "34 30 0:31 / /sys/fs/cgroup/memory rw - cgroup cgroup rw,memory\n"
                                   "35 30 0:32 / /sys/fs/cgroup/cpu,cpuacct rw - cgroup cgroup rw,cpu,cpuacct\n"
                                   "39 30 0:36 / /sys/fs/cgroup/pids rw - cgroup cgroup rw,pids\n"
                                   "40 30 0:37 / /sys/fs/cgroup/unified rw - cgroup2 cgroup2 rw\n"},
          {v1 + "run7/memory.limit_in_bytes", "314572800\n"}, {v1 + "run7/memory.usage_in_bytes", "12582912\n"},
          {v1 + "run7/memory.stat", "cache 6291456\ntotal_active_file 3145728\ntotal_inactive_file 2097152\n"
                                    "total_dirty 1048576\n"},
          {v1 + "memory.limit_in_bytes", "9223372036854771712\n"}, {"/sys/fs/cgroup/pids/run7/pids.max", "40\n"},
          {"/sys/fs/cgroup/pids/run7/pids.current", "30\n"}, {"/sys/fs/cgroup/unified/pids.max", "3\n"}},
         292 * mebibyte, unlimited, unlimited, 10, stack},
        {"cgroup mounted below its own path, at a path with a space",
         {{"/proc/self/cgroup", "0::/lxc/box7\n"},
          {"/proc/self/mountinfo", "30 22 0:27 /lxc/box7 /sys/fs/cgroup\\040two rw - cgroup2 cgroup2 rw\n"},
          {"/sys/fs/cgroup two/memory.max", "314572800\n"}, {"/sys/fs/cgroup two/memory.current", "0\n"}},
         300 * mebibyte, unlimited, unlimited, unlimited, stack},
        {"a mount of /a/b, listed first, does not show /a/bc",
         {{"/proc/self/cgroup", "0::/a/bc\n"},
          {"/proc/self/mountinfo", "29 22 0:27 /a/b /mnt/b rw - cgroup2 cgroup2 rw\n"
                                   "30 22 0:27 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"},
          {"/mnt/bc/memory.max", "104857600\n"}, {v2 + "a/bc/memory.max", "314572800\n"}},
         300 * mebibyte, unlimited, unlimited, unlimited, stack},
        {"inside a cgroup namespace, under the mount made outside it",
         {{"/proc/self/cgroup", "0::/\n"},
          {"/proc/self/mountinfo", "30 22 0:27 /../.. /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"},
          {v2 + "machine.slice/apps/cgroup.procs", "1\n"}, {v2 + "machine.slice/apps/memory.max", "104857600\n"},
          {v2 + "machine.slice/box7/cgroup.procs", "1\n" + std::to_string(getpid()) + "\n"},
          {v2 + "machine.slice/box7/memory.max", "314572800\n"}, {v2 + "machine.slice/memory.max", "1073741824\n"}},
         300 * mebibyte, unlimited, unlimited, unlimited, stack},
        {"ulimit -u 50, the user's processes with 40 threads", {{"/proc/self/limits", fifty}}, available, unlimited,
         unlimited, 10, stack},
        {"ulimit -u 50 for root", {{"/proc/self/limits", fifty}, {"/proc/self/status", "Uid:\t0\n"}}, available,
         unlimited, unlimited, unlimited, stack},
        {"ulimit -u 50 with CAP_SYS_RESOURCE",
         {{"/proc/self/limits", fifty}, {"/proc/self/status", "Uid:\t1000\nCapEff:\t0000000001000000\n"}}, available,
         unlimited, unlimited, unlimited, stack},
        {"ulimit -u 50 for root in a user namespace",
         {{"/proc/self/limits", fifty}, {"/proc/self/status", "Uid:\t0\nCapEff:\t000001ffffffffff\n"},
          {"/proc/self/uid_map", "0 100000 65536\n"}}, available, unlimited, unlimited, 0, stack},
    };
    for (const Machine& machine : machines) {
        SCOPED_TRACE(machine.shape);
        present(machine.changes);
        const MemoryRoom room = memoryRoom();
        EXPECT_EQ(room.resident, machine.resident);
        EXPECT_EQ(room.mapped, machine.mapped);
        EXPECT_EQ(room.data, machine.data);
        EXPECT_EQ(threadRoom(), machine.threads);
        EXPECT_EQ(threadStackBytes(), machine.stack);
    }
    for (const auto& [online, count] : {std::pair{"0\n", 1}, {"0-3,8-11\n", 8}, {"0,2,4-5\n", 4}, {"", 1}}) {
        present({{"/sys/devices/system/cpu/online", online}});
        EXPECT_EQ(onlineProcessors(), count) << online;
    }
    // Processors allowed, LP_NUM_THREADS ("-": unset), threads llvmpipe starts.
    for (const auto& [allowed, variable, threads] :
         {std::tuple{"0-1", "-", 2}, {"0", "-", 0}, {"0-63", "-", 32}, {"0", "16", 16}, {"0-1", "64", 32},
          {"0-1", "-1", 32}, {"0-1", "0x4", 4}, {"0-1", "abc", 2}, {"0-1", "", 2}, {"0-1", "4294967297", 1}}) {
        present({{"/proc/self/status", std::string("Cpus_allowed_list:\t") + allowed + "\n"}});
        if (std::string(variable) != "-")
            setenv("LP_NUM_THREADS", variable, 1);
        EXPECT_EQ(llvmpipeRasterizerThreads(), threads) << allowed << " LP_NUM_THREADS=" << variable;
    }
}

// 12000 x 12000 needs about 800 MiB, more than a 600 MiB container or an
// address space of 1200 MiB; small mazes fit in both. Every thread the run
// starts maps a stack of ulimit -s and may get a malloc arena, so the same
// address-space limit refuses even a small maze when the GL driver starts
// many threads. ulimit -d counts the heap and the stacks, not the libraries.
TEST_F(MemoryRoomTest, ARunFitsOnlyWithinEveryKindOfRoom)
{
    const Files container = {{"/sys/fs/cgroup/memory.max", "629145600\n"}, {"/sys/fs/cgroup/memory.current", "0\n"}};
    const Files addressSpace = limits("unlimited", "1258291200");
    Files manyProcessors = addressSpace;
    manyProcessors["/sys/devices/system/cpu/online"] = "0-15\n";
    const Files data = limits("629145600", "unlimited");
    struct Run {
        const char* shape;
        Files changes;
        int side;
        bool fits;
    } const runs[] = {{"ordinary", {}, 4000, true},
                      {"600 MiB container", container, 12000, false},
                      {"600 MiB container", container, 300, true},
                      {"ulimit -v 1200 MiB", addressSpace, 12000, false},
                      {"ulimit -v 1200 MiB", addressSpace, 150, true},
                      {"16 processors", manyProcessors, 150, false},
                      {"ulimit -d 600 MiB", data, 200, true},
                      {"ulimit -d 600 MiB", data, 12000, false},
                      {"ulimit -s 64 MiB, -v 830 MiB", limits("unlimited", "870318080", "67108864"), 2, false},
                      {"ulimit -s 1 MiB, -v 830 MiB", limits("unlimited", "870318080", "1048576"), 2, true}};
    for (const Run& run : runs) {
        for (RunSequence sequence : {SOLVE_THEN_SHOW, SHOW_WHILE_SOLVING}) {
            SCOPED_TRACE(std::string(run.shape) + ", side " + std::to_string(run.side) + ", sequence " +
                         std::to_string(sequence));
            present(run.changes);
            mazeWidth = mazeHeight = run.side;
            EXPECT_EQ(runFitsInMemory(sequence), run.fits);
        }
    }
    // Two llvmpipe threads per processor, its shader cache's, the display's
    // helper and the solver's.
    present({{"/sys/fs/cgroup/pids.max", "6\n"}, {"/sys/fs/cgroup/pids.current", "0\n"}});
    EXPECT_TRUE(runThreadsCanStart(SOLVE_THEN_SHOW));
    EXPECT_FALSE(runThreadsCanStart(SHOW_WHILE_SOLVING));
    setenv("LP_NUM_THREADS", "16", 1);
    EXPECT_EQ(estimatedRunFootprint(2, 1, SOLVE_THEN_SHOW).threads, 34u);
    mazeWidth = mazeHeight = 0;
}

// Without a window no GL driver is loaded and none of its threads start, so a
// maze too large for maze_threaded's window in 100 MiB fits when only saved,
// as a PNG, whose writer needs little; cairo's record of a large PDF does not
// fit.
TEST_F(MemoryRoomTest, ARunWithoutAWindowWeighsItsPictureAndNoDriver)
{
    present({{"/sys/fs/cgroup/memory.max", "104857600\n"}, {"/sys/fs/cgroup/memory.current", "0\n"},
             {"/sys/fs/cgroup/pids.max", "1\n"}, {"/sys/fs/cgroup/pids.current", "0\n"}});
    mazeWidth = mazeHeight = 2000;
    PictureRequest png;
    png.withSolution = true;
    PictureRequest pdf = png;
    pdf.format = PictureFormat::PDF;
    EXPECT_FALSE(runFitsInMemory(SHOW_WHILE_SOLVING, RunOutputs{true, &png}));
    EXPECT_TRUE(runFitsInMemory(SHOW_WHILE_SOLVING, RunOutputs{false, &png}));
    EXPECT_FALSE(runFitsInMemory(SOLVE_THEN_SHOW, RunOutputs{false, &pdf}));
    // maze_threaded still solves on its worker; the window's threads are gone.
    EXPECT_EQ(estimatedRunFootprint(2, 1, SOLVE_THEN_SHOW, RunOutputs{false, &png}).threads, 0u);
    EXPECT_EQ(estimatedRunFootprint(2, 1, SHOW_WHILE_SOLVING, RunOutputs{false, &png}).threads, 1u);
    EXPECT_TRUE(runThreadsCanStart(SHOW_WHILE_SOLVING, RunOutputs{false, &png}));
    EXPECT_FALSE(runThreadsCanStart(SHOW_WHILE_SOLVING, RunOutputs{true, &png}));
    mazeWidth = mazeHeight = 0;
}

// Each carving is weighed by its own data: in 40 MiB a 3000 x 3000 maze is
// refused to Kruskal's partition (5 bytes a cell) but admitted to
// Aldous-Broder's bit a cell; the backtracker's path, which winds through the
// maze, is counted through every cell (4 bytes a cell), and needs 70 MiB; the
// breadth-first search of a braided maze, 5 bytes a cell beside such a path,
// does not fit in that and does in 95 MiB.
TEST_F(MemoryRoomTest, EachCarvingAndTheSolverItCallsForAreWeighed)
{
    PictureRequest png;
    const CarvingAlgorithm* backtracker = findCarvingAlgorithm("backtracker");
    const CarvingAlgorithm* aldousBroder = findCarvingAlgorithm("aldous-broder");
    const struct {
        unsigned long long limitMebibytes;
        const CarvingAlgorithm* carving;
        bool braided;
        bool fits;
    } runs[] = {{40, nullptr, false, false},     {40, aldousBroder, false, true}, {40, backtracker, false, false},
                {70, backtracker, false, true},  {70, nullptr, false, true},      {70, aldousBroder, true, false},
                {95, backtracker, true, true}};
    mazeWidth = mazeHeight = 3000;
    for (const auto& run : runs) {
        SCOPED_TRACE(::testing::Message() << run.limitMebibytes << " MiB, " << (run.carving ? run.carving->name : "kruskal")
                                          << (run.braided ? ", braided" : ""));
        present({{"/sys/fs/cgroup/memory.max", std::to_string(run.limitMebibytes * mebibyte) + "\n"},
                 {"/sys/fs/cgroup/memory.current", "0\n"}});
        RunOutputs outputs{false, &png};
        outputs.carving = run.carving;
        outputs.braided = run.braided;
        EXPECT_EQ(runFitsInMemory(SOLVE_THEN_SHOW, outputs), run.fits);
        EXPECT_EQ(runFitsInMemory(SHOW_WHILE_SOLVING, outputs), run.fits);
    }
    // The figures the table gives are the arrays the carvings allocate.
    EXPECT_EQ(carvingWorkingBytes(*findCarvingAlgorithm("aldous-broder"), 640, 100), 64000u / 8 + 8);
    EXPECT_EQ(carvingWorkingBytes(*findCarvingAlgorithm("eller"), 640, 100), 741u * 24 + 8);
    mazeWidth = mazeHeight = 0;
}

// The largest square maze the cell numbering admits, 2^30 cells, stays
// within 12 bytes a cell at every phase of a whole run, window or not, and
// is admitted on a machine of 24 GiB; the carving, which holds the most, is
// counted to the byte above the walls' bits.
TEST_F(MemoryRoomTest, TheLargestMazeIsCountedWithinTwelveBytesACell)
{
    const unsigned long long cells = 32768ull * 32768ull;
    PictureRequest png;
    png.cellSize = 2;
    for (RunSequence sequence : {SOLVE_THEN_SHOW, SHOW_WHILE_SOLVING})
        for (const RunOutputs& outputs : {RunOutputs{}, RunOutputs{false, &png}, RunOutputs{true, &png}}) {
            const RunFootprint footprint = estimatedRunFootprint(32768, 32768, sequence, outputs);
            EXPECT_LE(footprint.resident, 12 * cells);
            EXPECT_GE(footprint.resident, 5 * cells + wallPlaneBytes(32768, 32768));
        }
    present({{"/proc/meminfo", "MemTotal:       25165824 kB\nMemAvailable:   23068672 kB\n"}});
    mazeWidth = mazeHeight = 32768;
    EXPECT_TRUE(runFitsInMemory(SHOW_WHILE_SOLVING, RunOutputs{false, &png}));
    mazeWidth = mazeHeight = 0;
}

}  // namespace
