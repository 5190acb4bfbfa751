// How a console line names a file.
#ifndef FILE_NAME_QUOTING_H
#define FILE_NAME_QUOTING_H

#include <string>

// The name between single quotes, as the programs' messages quote file names.
std::string quotedFileName(const std::string& name);

#endif
