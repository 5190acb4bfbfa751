// Saving the solved maze as a picture file.
#ifndef PICTURE_FILE_H
#define PICTURE_FILE_H

#include <cstdint>

#include "picture_request.h"

// Writes the maze, and the solution if asked, in the format asked, into a file
// that takes the name asked for only once it is complete (see output_file.h).
// A file that cannot be written ends the run with SAVE_FAILURE after a message
// naming it and the reason, and leaves nothing behind. The seed goes into the
// file's metadata, with the carving and braiding chosen. Without a window, a
// console line then says where the picture went. Reads the wall list and
// solutionCells, which must outlive the call.
void saveMazePicture(const PictureRequest& request, std::uint32_t seed, const int* solutionCells, int solutionMoves);

#endif
