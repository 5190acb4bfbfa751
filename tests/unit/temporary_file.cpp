#include "temporary_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
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
    return fileContents(filePath);
}

std::string fileContents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TemporaryDirectory::TemporaryDirectory()
{
    std::string pattern = ::testing::TempDir() + "maze_unit_XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr)
        ADD_FAILURE() << "cannot create a temporary directory from " << pattern;
    else
        directoryPath = name.data();
}

TemporaryDirectory::~TemporaryDirectory()
{
    if (!directoryPath.empty()) {
        std::error_code ignored;
        std::filesystem::permissions(directoryPath, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(directoryPath, ignored);
    }
}

std::vector<std::string> TemporaryDirectory::names() const
{
    std::vector<std::string> found;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(directoryPath, ignored))
        found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
}
