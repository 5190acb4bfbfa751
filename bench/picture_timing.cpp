#include "picture_timing.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "carving.h"
#include "maze.h"
#include "maze_solver.h"
#include "picture_file.h"
#include "random_source.h"
#include "silenced_stdout.h"
#include "solution.h"
#include "wall_list.h"

namespace {

struct TimedPicture {
    const char* label;
    PictureFormat format;
    int cellSize;
    const char* extension;
};

struct PictureSize {
    int width;
    int height;
    std::vector<TimedPicture> pictures;
};

const PictureSize pictureSizes[] = {
    {4000, 4000, {{"png_2px", PictureFormat::PNG, 2, "png"}}},
    {1000, 1000, {{"svg", PictureFormat::SVG, defaultCellSize, "svg"}, {"pdf", PictureFormat::PDF, defaultCellSize, "pdf"}}},
};

}  // namespace

int measurePictures()
{
    char directory[] = "/tmp/maze_bench_pictures.XXXXXX";
    if (mkdtemp(directory) == nullptr) {
        std::perror("maze_bench: mkdtemp");
        return 1;
    }
    for (const PictureSize& size : pictureSizes) {
        mazeWidth = size.width;
        mazeHeight = size.height;
        double carveMilliseconds = 0;
        double solveMilliseconds = 0;
        {
            SilencedStdout quiet;
            const BenchClock::time_point carveStart = BenchClock::now();
            createWallList();
            seedRandomSource(benchSeed);
            carveMaze();
            carveMilliseconds = millisecondsSince(carveStart);
            const BenchClock::time_point solveStart = BenchClock::now();
            MazeSolver solver;
            solver.run();
            solveMilliseconds = millisecondsSince(solveStart);
        }
        std::printf("%dx%d carve_ms=%.0f solve_ms=%.0f", size.width, size.height, carveMilliseconds,
                    solveMilliseconds);
        for (const TimedPicture& timed : size.pictures) {
            PictureRequest request;
            request.path = std::string(directory) + "/maze." + timed.extension;
            request.format = timed.format;
            request.cellSize = timed.cellSize;
            request.withSolution = true;
            request.programName = "maze_bench";
            const BenchClock::time_point saveStart = BenchClock::now();
            saveMazePicture(request, benchSeed, solutionCells, solutionMoves);
            const double saveMilliseconds = millisecondsSince(saveStart);
            struct stat saved;
            const long long bytes = stat(request.path.c_str(), &saved) == 0 ? saved.st_size : -1;
            unlink(request.path.c_str());
            std::printf(" %s_ms=%.0f %s_bytes=%lld", timed.label, saveMilliseconds, timed.label, bytes);
        }
        std::printf("\n");
        std::fflush(stdout);
        std::free(solutionCells);
        solutionCells = nullptr;
        freeWallList();
    }
    rmdir(directory);
    return 0;
}
