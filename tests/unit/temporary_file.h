// Files the tests feed to the programs as typed input or collect their output in.
#ifndef TEMPORARY_FILE_H
#define TEMPORARY_FILE_H

#include <string>

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

#endif
