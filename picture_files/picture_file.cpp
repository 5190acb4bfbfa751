#include "picture_file.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "maze.h"
#include "output_file.h"
#include "picture_writers.h"

int lineThickness(int cellSize)
{
    return cellSize / 8 > 1 ? cellSize / 8 : 1;
}

namespace {

long long nanosecondsNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A save shorter than this says nothing.
constexpr long long quietNanoseconds = 2'000'000'000;

}  // namespace

SaveProgress::SaveProgress(const std::string& path)
    : path(path), terminal(isatty(STDERR_FILENO) == 1), startNanoseconds(nanosecondsNow())
{
}

SaveProgress::~SaveProgress()
{
    if (shownPercent < 0)
        return;
    // The line is overwritten with spaces, so that the terminal shows what it did before.
    const std::string blank = "\r" + std::string(path.size() + 16, ' ') + "\r";
    std::fputs(blank.c_str(), stderr);
    std::fflush(stderr);
}

void SaveProgress::report(long long done, long long total) const
{
    if (!terminal || total <= 0 || nanosecondsNow() - startNanoseconds < quietNanoseconds)
        return;
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == shownPercent)
        return;
    shownPercent = percent;
    std::fprintf(stderr, "\rSaving %s: %d%%", path.c_str(), percent);
    std::fflush(stderr);
}

void saveMazePicture(const PictureRequest& request, std::uint32_t seed, const int* solutionCells, int solutionMoves)
{
    const std::string size = std::to_string(mazeWidth) + " x " + std::to_string(mazeHeight);
    const std::string seedText = std::to_string(seed);
    PictureText text;
    text.title = "Maze " + size + ", seed " + seedText;
    text.description = "A perfect maze of " + size + " cells from seed " + seedText + "; '" + request.programName +
                       " --seed " + seedText + " --size " + std::to_string(mazeWidth) + "x" +
                       std::to_string(mazeHeight) + "' makes it again.";
    text.software = request.programName + " " MAZE_VERSION;

    SolutionPath solution;
    if (request.withSolution) {
        solution.cells = solutionCells;
        solution.moves = solutionMoves;
    }
    OutputFile file(request.path, request.programName);
    {
        const SaveProgress progress(request.path);
        switch (request.format) {
        case PictureFormat::PNG:
            writePngPicture(file, request, text, solution, progress);
            break;
        case PictureFormat::SVG:
            writeSvgPicture(file, request, text, solution, progress);
            break;
        case PictureFormat::PDF:
            writePdfPicture(file, request, text, solution, progress);
            break;
        }
    }
    file.commit();
}
