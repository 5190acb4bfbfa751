#include "picture_file.h"

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
    switch (request.format) {
    case PictureFormat::PNG:
        writePngPicture(file, request, text, solution);
        break;
    case PictureFormat::SVG:
        writeSvgPicture(file, request, text, solution);
        break;
    case PictureFormat::PDF:
        writePdfPicture(file, request, text, solution);
        break;
    }
    file.commit();
    if (request.saysWhereSaved)
        consolePrint("\nI saved the maze%s as %s\n", request.withSolution ? " and my solution" : "",
                     quoted(request.path).c_str());
}
