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

// How far a save has come, told on standard error once it has taken a few
// seconds, on a line rewritten in place and cleared when the save ends; only
// when standard error is a terminal, so that the console text of a run never
// changes. Called on the saving thread only.
class SaveProgress {
public:
    // Where it reads the time: nanoseconds of the steady clock, unless a test
    // stands in a clock of its own.
    static long long (*clock)();

    explicit SaveProgress(const std::string& path);
    ~SaveProgress();

    SaveProgress(const SaveProgress&) = delete;
    SaveProgress& operator=(const SaveProgress&) = delete;

    // done parts of total are saved.
    void report(long long done, long long total) const;

private:
    std::string path;  // quoted, as every message names a file
    bool terminal;
    long long startNanoseconds;
    mutable int shownPercent = -1;
};

void writePngPicture(OutputFile& file, const PictureRequest& request, const PictureText& text,
                     const SolutionPath& solution, const SaveProgress& progress);
void writeSvgPicture(OutputFile& file, const PictureRequest& request, const PictureText& text,
                     const SolutionPath& solution, const SaveProgress& progress);
void writePdfPicture(OutputFile& file, const PictureRequest& request, const PictureText& text,
                     const SolutionPath& solution, const SaveProgress& progress);

// The most the PNG writer holds at once for a picture of pixelsAcross x
// pixelsDown: its rows, the strips being compressed and written, and the
// solution's cells by row when it draws a path of so many moves (-1: none)
// through so many rows of cells.
unsigned long long pngWriterBytes(long long pixelsAcross, long long pixelsDown, long long moves, long long rows);

#endif
