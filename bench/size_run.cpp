#include "size_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_clock.h"
#include "carving.h"
#include "maze.h"
#include "maze_solver.h"
#include "memory_budget.h"
#include "peak_memory.h"
#include "random_source.h"
#include "recursive_solver.h"
#include "relabelling_carving.h"
#include "silenced_stdout.h"
#include "solution.h"
#include "wall_list.h"

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Timing {
    double carveMilliseconds;
    double solveMilliseconds;
};

// What a carve and solve leaves behind, to check the reference reproduces it.
struct MazeAndSolution {
    std::vector<unsigned char> present;
    std::vector<int> cells;
    int moves;
};

// Carving includes laying out the wall list, as a run of the program does.
template <typename Solver>
Timing carveAndSolve(void (*carve)(), std::uint32_t seed)
{
    std::free(solutionCells);
    solutionCells = nullptr;
    solved = 0;
    const BenchClock::time_point carveStart = BenchClock::now();
    createWallList();
    seedRandomSource(seed);
    carve();
    const double carveMilliseconds = millisecondsSince(carveStart);

    const BenchClock::time_point solveStart = BenchClock::now();
    {
        Solver solver;
        solver.run();
    }
    return Timing{carveMilliseconds, millisecondsSince(solveStart)};
}

MazeAndSolution takeResult()
{
    MazeAndSolution result;
    for (int i = 0; i < wallCount(); ++i)
        result.present.push_back(wallStands(i) ? 1 : 0);
    result.moves = solutionMoves;
    if (solutionMoves > 0)
        result.cells.assign(solutionCells, solutionCells + solutionMoves);
    std::free(solutionCells);
    solutionCells = nullptr;
    freeWallList();
    return result;
}

bool sameResult(const MazeAndSolution& first, const MazeAndSolution& second)
{
    return first.present == second.present && first.moves == second.moves && first.cells == second.cells;
}

double mebibytes(unsigned long long bytes)
{
    return static_cast<double>(bytes) / (1 << 20);
}

}  // namespace

void printEstimates(int width, int height, ScreenSize screen)
{
    const RunOutputs outputs{true, nullptr, screen};
    const RunFootprint serial = estimatedRunFootprint(width, height, SOLVE_THEN_SHOW, outputs);
    const RunFootprint threaded = estimatedRunFootprint(width, height, SHOW_WHILE_SOLVING, outputs);
    std::printf("estimated_run_mib=%.1f estimated_threaded_run_mib=%.1f estimated_run_data_mib=%.1f "
                "estimated_threaded_run_data_mib=%.1f",
                mebibytes(serial.resident), mebibytes(threaded.resident), mebibytes(serial.data),
                mebibytes(threaded.data));
}

void printSavingEstimates(int width, int height, ScreenSize screen, int cellSize)
{
    // Saved with the solution, at the cell size given, with the window and without.
    for (PictureFormat format : {PictureFormat::PNG, PictureFormat::SVG, PictureFormat::PDF}) {
        PictureRequest picture;
        picture.format = format;
        picture.withSolution = true;
        picture.cellSize = cellSize;
        const char* name = format == PictureFormat::PNG ? "png" : format == PictureFormat::SVG ? "svg" : "pdf";
        for (bool window : {true, false}) {
            const RunOutputs outputs{window, &picture, screen};
            const char* suffix = window ? "" : "_no_window";
            std::printf(" estimated_%s%s_mib=%.1f estimated_threaded_%s%s_mib=%.1f", name, suffix,
                        mebibytes(estimatedRunFootprint(width, height, SOLVE_THEN_SHOW, outputs).resident), name,
                        suffix, mebibytes(estimatedRunFootprint(width, height, SHOW_WHILE_SOLVING, outputs).resident));
        }
    }
}

int measureSize(const SizeRun& run)
{
    mazeWidth = run.width;
    mazeHeight = run.height;

    std::vector<double> carveTimes;
    std::vector<double> solveTimes;
    std::vector<double> totalTimes;
    MazeAndSolution fastResult;
    {
        SilencedStdout quiet;
        for (int i = 0; i < run.repetitions; ++i) {
            const Timing timing = carveAndSolve<MazeSolver>(carveMaze, run.seed);
            carveTimes.push_back(timing.carveMilliseconds);
            solveTimes.push_back(timing.solveMilliseconds);
            totalTimes.push_back(timing.carveMilliseconds + timing.solveMilliseconds);
            fastResult = takeResult();
        }
    }
    // Read before the reference runs, so the figure is the fast code's alone.
    const double peakMebibytes = peakResidentMebibytes();

    std::printf("%dx%d carve_ms=%.2f solve_ms=%.2f peak_rss_mib=%.1f ", run.width, run.height, median(carveTimes),
                median(solveTimes), peakMebibytes);
    printEstimates(run.width, run.height, ScreenSize{0, 0});

    int status = 0;
    if (run.compareWithReference) {
        Timing reference{};
        MazeAndSolution referenceResult;
        {
            SilencedStdout quiet;
            reference = carveAndSolve<RecursiveMazeSolver>(carveMazeByRelabelling, run.seed);
            referenceResult = takeResult();
        }
        const double ratio = (reference.carveMilliseconds + reference.solveMilliseconds) / median(totalTimes);
        // What the straightforward versions kept beside the tests cost, over
        // what ours costs.
        std::printf(" reference_cost_ratio=%.0f", ratio);
        if (!sameResult(fastResult, referenceResult)) {
            std::fprintf(stderr, "maze_bench: the fast code and the reference disagree at %dx%d\n", run.width,
                         run.height);
            status = 1;
        }
    }
    std::printf("\n");
    std::fflush(stdout);
    return status;
}
