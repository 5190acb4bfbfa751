// A picture file written under a temporary name beside the one asked for and
// renamed into place once complete, so that the name asked for never holds a
// half-written picture.
#ifndef OUTPUT_FILE_H
#define OUTPUT_FILE_H

#include <cstddef>
#include <string>
#include <vector>

class OutputFile {
public:
    // Creates the temporary file in the directory of path (of the file a link
    // there leads to, which keeps the link). A path that names something other
    // than a file or a link to one, such as a device, is written straight
    // into. Any failure ends the run through fail.
    OutputFile(const std::string& path, const std::string& programName);
    ~OutputFile();

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Appends bytes; the run ends through fail when they cannot be written.
    void write(const void* data, std::size_t size);
    void write(const std::string& text) { write(text.data(), text.size()); }

    // Writes out what is buffered, makes it durable and gives the file its name.
    void commit();

    // Removes the temporary file, says which file could not be saved and why
    // (error is an errno value), and ends the run with SAVE_FAILURE.
    [[noreturn]] void fail(int error);
    [[noreturn]] void fail(const std::string& reason);

private:
    void flush();

    std::string requestedPath;  // as the user named it, for messages
    std::string finalPath;      // where the picture ends up
    std::string temporaryPath;  // empty when written straight into finalPath
    std::string programName;
    int descriptor = -1;
    std::vector<char> buffer;
    std::size_t used = 0;
};

#endif
