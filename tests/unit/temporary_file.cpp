#include "temporary_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

TemporaryFile::TemporaryFile(const std::string& contents)
{
    std::string pattern = ::testing::TempDir() + "maze_unit_XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        ADD_FAILURE() << "cannot create a temporary file from " << pattern;
        return;
    }
    filePath = name.data();
    const char* bytes = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = write(descriptor, bytes, left);
        if (written <= 0) {
            ADD_FAILURE() << "cannot write " << filePath;
            break;
        }
        bytes += written;
        left -= static_cast<std::size_t>(written);
    }
    close(descriptor);
}

TemporaryFile::~TemporaryFile()
{
    if (!filePath.empty())
        std::remove(filePath.c_str());
}

std::string TemporaryFile::contents() const
{
    std::ifstream file(filePath, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}
