#include "picture_file.h"

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
    PictureText text;
    text.title = "Maze " + size + ", seed " + seedText;
    text.description = "A perfect maze of " + size + " cells from seed " + seedText + "; '" + request.programName +
                       " --seed " + seedText + " --size " + std::to_string(mazeWidth) + "x" +
                       std::to_string(mazeHeight) + "' makes it again.";
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
}
