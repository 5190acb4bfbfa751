#include "file_name_quoting.h"

std::string quotedFileName(const std::string& name)
{
    return "'" + name + "'";
}
