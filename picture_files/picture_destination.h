// Where a picture file goes: the name at the end of the path the user gave,
// and the directory holding it, with links followed one at a time to the file
// they lead to. Every step is taken from an open directory, a component at a
// time, so no path is ever resolved whole: a working directory or a link
// target deeper than PATH_MAX works as a short one does.
#ifndef PICTURE_DESTINATION_H
#define PICTURE_DESTINATION_H

#include <sys/stat.h>

#include <string>

struct PictureDestination {
    int directory = -1;      // open (O_PATH) on the directory that holds name; the caller closes it
    std::string name;        // one component: no slash
    bool exists = false;     // something other than a link is there, as existing describes
    struct stat existing {};
};

// Finds where path leads, a dangling link to the name it would create, and
// returns 0, or the errno value of the failure, as opening path would fail
// (ELOOP for too many links, ENOENT for a missing directory).
int findPictureDestination(const std::string& path, PictureDestination& destination);

#endif
