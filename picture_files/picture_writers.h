// One writer per picture format, each writing the carved maze into a file.
#ifndef PICTURE_WRITERS_H
#define PICTURE_WRITERS_H

#include <string>

#include "maze_rows.h"
#include "output_file.h"
#include "picture_request.h"

// What a picture says about itself, in its format's metadata.
struct PictureText {
    std::string title;        // "Maze 30 x 20, seed 1000000000"
    std::string description;  // how to make the maze again
    std::string software;     // the program and its version
};

// The thickness of walls and of the solution line in a picture of cellSize
// pixels a cell: an eighth of a cell, and a pixel at the least.
int lineThickness(int cellSize);

void writePngPicture(OutputFile& file, const PictureRequest& request, const PictureText& text,
                     const SolutionPath& solution);
void writeSvgPicture(OutputFile& file, const PictureRequest& request, const PictureText& text,
                     const SolutionPath& solution);
void writePdfPicture(OutputFile& file, const PictureRequest& request, const PictureText& text,
                     const SolutionPath& solution);

#endif
