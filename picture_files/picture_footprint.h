// What saving a picture costs in memory, for the check before carving.
#ifndef PICTURE_FOOTPRINT_H
#define PICTURE_FOOTPRINT_H

#include <string>

#include "picture_request.h"

// The most memory the writer holds at once while saving a picture of a
// width x height maze, its libraries' working memory included; the maze and
// the solution, which the run holds anyway, not included.
unsigned long long pictureSavingBytes(int width, int height, const PictureRequest& request);

// Whether the format can hold the picture of a width x height maze; if not,
// problem says why.
bool pictureFitsFormat(int width, int height, const PictureRequest& request, std::string& problem);

#endif
