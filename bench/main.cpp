// maze_bench: carving and solving times and peak memory per maze size, one
// line per size:
//   WxH carve_ms=... solve_ms=... peak_rss_mib=... estimated_run_mib=... estimated_threaded_run_mib=...
// and, at 150x150, how many times longer the reference versions (linear wall
// scan, relabelling partition, recursive solver) take for the same maze.
// peak_rss_mib is carving and solving alone; the estimates are what the
// memory check expects a whole run of maze_serial and of maze_threaded to
// hold, window included, on the screen assumed when none can be read.
// "maze_bench --estimate WxH [--screen WxH] [--cell-size N]" prints only
// those, and those of runs that save pictures (at N pixels a cell, 10 unless
// given), for the window on a screen of the size given, or else on the screen
// of DISPLAY, as the programs read it before carving:
//   WxH screen=WxH estimated_run_mib=... (screen=unknown where none is read)
//
// "maze_bench --redraw [SIDE...]" times the window's redraws instead, at the
// full view and zoomed, for square mazes of 200, 2000, 4000 and 8000 cells a
// side unless sides are given (see redraw_timing.h); it needs an X display.
//
// "maze_bench --pictures" times saving a 4000 x 4000 maze as PNG at 2 pixels a
// cell and a 1000 x 1000 one as SVG and PDF, beside carving them (see
// picture_timing.h).
//
// "maze_bench --algorithms [WxH...]" times carving with every algorithm beside
// Kruskal's (see algorithm_timing.h).
//
// "maze_bench --bandwidth" times reading, writing and copying a GiB of memory
// on one thread and two (see memory_bandwidth.h).
//
// "maze_bench --check-picture FILE" reads a PNG saved at 2 pixels a cell back
// as a maze and says whether it is perfect (see picture_check.h).
//
// Each size runs in a fresh process (this program re-executed with the size
// as its argument), so every peak memory figure belongs to its size alone.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "algorithm_timing.h"
#include "bench_clock.h"
#include "carving_algorithms.h"
#include "memory_bandwidth.h"
#include "picture_check.h"
#include "picture_timing.h"
#include "redraw_timing.h"
#include "picture_request.h"
#include "screen_ahead.h"
#include "size_run.h"

namespace {

// Only the smallest size is small enough for the quadratic reference versions.
const SizeRun sizeRuns[] = {
    {150, 150, benchSeed, 51, true},
    {1000, 1000, benchSeed, 1, false},
    {2000, 2000, benchSeed, 1, false},
    {4000, 4000, benchSeed, 1, false},
    {8000, 8000, benchSeed, 1, false},
};

const int redrawSides[] = {200, 2000, 4000, 8000};

// Runs this program again with the given arguments and waits for it. Returns its exit status.
int runChildProcess(const std::string& mode, const std::string& size, const std::string& more = "")
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) {
        std::perror("maze_bench: fork");
        return 1;
    }
    if (child == 0) {
        char* arguments[] = {const_cast<char*>("maze_bench"), const_cast<char*>(mode.c_str()),
                             const_cast<char*>(size.c_str()), more.empty() ? nullptr : const_cast<char*>(more.c_str()),
                             nullptr};
        execv("/proc/self/exe", arguments);
        std::perror("maze_bench: execv");
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) < 0) {
        std::perror("maze_bench: waitpid");
        return 1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    std::fprintf(stderr, "maze_bench: the %s run ended with signal %d\n", size.c_str(), WTERMSIG(status));
    return 1;
}

int measureInChildProcess(const SizeRun& run)
{
    return runChildProcess("--size", std::to_string(run.width) + "x" + std::to_string(run.height));
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 0;
    int height = 0;
    if (argc >= 3 && argc % 2 == 1 && std::strcmp(argv[1], "--estimate") == 0 &&
        std::sscanf(argv[2], "%dx%d", &width, &height) == 2) {
        ScreenSize screen{0, 0};
        bool screenGiven = false;
        int cellSize = defaultCellSize;
        for (int i = 3; i + 1 < argc; i += 2) {
            const bool screenOption = std::strcmp(argv[i], "--screen") == 0 &&
                                      std::sscanf(argv[i + 1], "%dx%d", &screen.width, &screen.height) == 2;
            const bool cellOption = std::strcmp(argv[i], "--cell-size") == 0 &&
                                    std::sscanf(argv[i + 1], "%d", &cellSize) == 1;
            screenGiven = screenGiven || screenOption;
            if (!screenOption && !cellOption) {
                std::fprintf(stderr, "usage: maze_bench --estimate WxH [--screen WxH] [--cell-size N]\n");
                return 2;
            }
        }
        if (!screenGiven)
            screen = readScreenAhead(1, argv);
        std::printf("%dx%d ", width, height);
        if (screen.width > 0 && screen.height > 0)
            std::printf("screen=%dx%d ", screen.width, screen.height);
        else
            std::printf("screen=unknown ");
        printEstimates(width, height, screen);
        printSavingEstimates(width, height, screen, cellSize);
        std::printf("\n");
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "--algorithm-one") == 0 &&
        std::sscanf(argv[2], "%dx%d", &width, &height) == 2)
        return measureAlgorithm(argv[3], width, height);
    if (argc >= 2 && std::strcmp(argv[1], "--algorithms") == 0) {
        std::vector<std::string> sizes(argv + 2, argv + argc);
        if (sizes.empty())
            sizes.push_back("2000x2000");
        int failures = 0;
        for (const std::string& size : sizes) {
            for (int i = 0; i < carvingAlgorithmCount; ++i)
                failures += runChildProcess("--algorithm-one", size, carvingAlgorithms[i].name) != 0 ? 1 : 0;
        }
        return failures == 0 ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--check-picture") == 0)
        return checkSavedPicture(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "--bandwidth") == 0)
        return measureMemoryBandwidth();
    if (argc == 2 && std::strcmp(argv[1], "--pictures") == 0)
        return measurePictures();
    if (argc == 3 && std::strcmp(argv[1], "--redraw-one") == 0)
        return measureRedraws(std::atoi(argv[2]));
    if (argc >= 2 && std::strcmp(argv[1], "--redraw") == 0) {
        int failures = 0;
        if (argc == 2) {
            for (int side : redrawSides)
                failures += runChildProcess("--redraw-one", std::to_string(side)) != 0 ? 1 : 0;
        }
        for (int i = 2; i < argc; ++i)
            failures += runChildProcess("--redraw-one", argv[i]) != 0 ? 1 : 0;
        return failures == 0 ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--size") == 0) {
        for (const SizeRun& run : sizeRuns) {
            const std::string size = std::to_string(run.width) + "x" + std::to_string(run.height);
            if (size == argv[2])
                return measureSize(run);
        }
        std::fprintf(stderr, "maze_bench: unknown size %s\n", argv[2]);
        return 2;
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: maze_bench [--estimate WxH [--screen WxH] [--cell-size N] | --redraw [SIDE...] | --pictures | --algorithms [WxH...] | --bandwidth | --check-picture FILE]\n");
        return 2;
    }
    int failures = 0;
    for (const SizeRun& run : sizeRuns)
        failures += measureInChildProcess(run) != 0 ? 1 : 0;
    return failures == 0 ? 0 : 1;
}
