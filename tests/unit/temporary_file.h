// Files the tests feed to the programs as typed input or collect their output in.
#ifndef TEMPORARY_FILE_H
#define TEMPORARY_FILE_H

#include <string>
#include <vector>

// A fresh file in the test temporary directory, removed again on destruction.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& contents = "");
    ~TemporaryFile();

    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return filePath; }

    // Everything in the file now, byte for byte.
    std::string contents() const;

private:
    std::string filePath;
};

// A fresh directory in the test temporary directory, removed with everything
// in it on destruction: where the programs save their pictures.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();

    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& path() const { return directoryPath; }

    // The names of everything in it, hidden ones included, sorted.
    std::vector<std::string> names() const;

private:
    std::string directoryPath;
};

// Everything in the file at path, byte for byte; "" when it cannot be read.
std::string fileContents(const std::string& path);

#endif
