// What a run is asked to save: the maze as a picture file.
#ifndef PICTURE_REQUEST_H
#define PICTURE_REQUEST_H

#include <string>

enum class PictureFormat {
    PNG,  // pixels: cellSize a cell, a palette of white, black and red
    SVG,  // lines, in cells, cellSize pixels a cell at its natural size
    PDF,  // lines, fitted to a page; the solution on a page of its own
};

enum class Paper {
    A4,
    LETTER,
};

constexpr int defaultCellSize = 10;
// Two pixels a cell at the least: a wall and a cell's inside one pixel each.
constexpr int smallestCellSize = 2;
constexpr int largestCellSize = 1000;

struct PictureRequest {
    std::string path;                   // as the user named it
    PictureFormat format = PictureFormat::PNG;  // from the name's extension
    int cellSize = defaultCellSize;     // PNG and SVG: pixels a cell
    Paper paper = Paper::A4;            // PDF: the page size
    bool withSolution = false;          // PNG and SVG: the red line drawn in; PDF: a second page with it
    std::string programName;            // for messages and the file's metadata
    std::string algorithm;              // the carving chosen, for the metadata; empty for the default
    std::string braid;                  // the braiding asked for, as given; empty for none
    bool saysWhereSaved = false;        // a console line once saved: no window will show the maze
};

#endif
