#include "algorithm_timing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "carving.h"
#include "carving_algorithms.h"
#include "maze.h"
#include "maze_solver.h"
#include "random_source.h"
#include "silenced_stdout.h"
#include "solution.h"
#include "wall_list.h"

namespace {

// A figure of /proc/self/status in bytes, such as VmRSS or VmHWM.
double statusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::atof(line.c_str() + field.size() + 1) * 1024;
    }
    return 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Laying out the wall list is left out: every carving needs it alike.
double timedCarving(void (*carve)())
{
    createWallList();
    seedRandomSource(benchSeed);
    const BenchClock::time_point start = BenchClock::now();
    carve();
    const double milliseconds = millisecondsSince(start);
    freeWallList();
    return milliseconds;
}

}  // namespace

int measureAlgorithm(const char* name, int width, int height)
{
    const CarvingAlgorithm* algorithm = findCarvingAlgorithm(name);
    if (algorithm == nullptr) {
        std::fprintf(stderr, "maze_bench: no algorithm %s\n", name);
        return 1;
    }
    mazeWidth = width;
    mazeHeight = height;
    const double cells = static_cast<double>(width) * height;

    // First, in a fresh process, what the carving holds beside the wall list,
    // and the solution it makes.
    createWallList();
    const double withWalls = statusBytes("VmRSS");
    seedRandomSource(benchSeed);
    algorithm->carve();
    const double ownBytes = std::max(0.0, statusBytes("VmHWM") - withWalls);
    {
        SilencedStdout quiet;
        MazeSolver solver;
        solver.run();
    }
    const double solutionShare = (solutionMoves + 1) / cells;
    std::free(solutionCells);
    solutionCells = nullptr;
    freeWallList();

    std::vector<double> own;
    std::vector<double> kruskal;
    for (int round = 0; round < 3; ++round) {
        own.push_back(timedCarving(algorithm->carve));
        kruskal.push_back(timedCarving(carveMaze));
    }
    std::printf("%dx%d %s carve_ms=%.1f kruskal_ms=%.1f ratio=%.2f own_bytes_per_cell=%.2f "
                "counted_bytes_per_cell=%.2f solution_share=%.4f\n",
                width, height, name, median(own), median(kruskal), median(own) / median(kruskal), ownBytes / cells,
                algorithm->carve == carveMaze
                    ? 0.0
                    : static_cast<double>(carvingWorkingBytes(*algorithm, width, height)) / cells,
                solutionShare);
    std::fflush(stdout);
    return 0;
}
