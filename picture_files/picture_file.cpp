#include "picture_file.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "console.h"
#include "message_quoting.h"
#include "maze.h"
#include "output_file.h"
#include "picture_writers.h"
#include "utf8_text.h"

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

long long (*SaveProgress::clock)() = nanosecondsNow;

SaveProgress::SaveProgress(const std::string& path)
    : path(quoted(path)), terminal(isatty(STDERR_FILENO) == 1), startNanoseconds(clock())
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
    if (!terminal || total <= 0 || clock() - startNanoseconds < quietNanoseconds)
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
    // The default carving without braiding is named as it always was; any
    // other choice goes beside the seed and into the command.
    std::string choices;
    std::string carved;
    std::string options;
    if (!request.algorithm.empty()) {
        choices += ", algorithm " + request.algorithm;
        carved += ", carved by " + request.algorithm;
        options += " --algorithm " + request.algorithm;
    }
    if (!request.braid.empty()) {
        choices += ", braid " + request.braid;
        carved += std::string(request.algorithm.empty() ? ", " : " and ") + "braided at " + request.braid;
        options += " --braid " + request.braid;
    }
    PictureText text;
    text.title = "Maze " + size + ", seed " + seedText + choices;
    text.description = std::string(request.braid.empty() ? "A perfect maze" : "A maze with loops") + " of " + size +
                       " cells from seed " + seedText + carved + "; '" + request.programName + " --seed " + seedText +
                       " --size " + std::to_string(mazeWidth) + "x" + std::to_string(mazeHeight) + options +
                       "' makes it again.";
    text.software = request.programName + " " MAZE_VERSION;
    // The program's name is the user's: whatever bytes it holds, every
    // format's metadata must stay valid.
    for (std::string* field : {&text.title, &text.description, &text.software})
        *field = printableText(*field);

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
    if (request.saysWhereSaved)
        consolePrint("\nI saved the maze%s as %s\n", request.withSolution ? " and my solution" : "",
                     quoted(request.path).c_str());
}
