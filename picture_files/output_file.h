// A picture file that takes the name asked for only once it is complete and
// on disk, so that the name never holds half a picture and nothing is left
// behind whatever ends the run.
#ifndef OUTPUT_FILE_H
#define OUTPUT_FILE_H

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class OutputFile {
public:
    // Creates the file, unnamed, in the directory of path (of the file a link
    // there leads to, which keeps the link), or where the file system has no
    // unnamed files under a hidden name nobody can guess. A file the user may
    // not write is refused as the shell's > refuses it. A path that names
    // something other than a file or a link to one, such as a device, is
    // written straight into. Any failure ends the run through fail.
    OutputFile(const std::string& path, const std::string& programName);
    ~OutputFile();

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Appends bytes; the run ends through fail when they cannot be written.
    void write(const void* data, std::size_t size);
    void write(const std::string& text) { write(text.data(), text.size()); }

    // Writes out what is buffered, gives the file the mode (and where it may,
    // the owner and group) of the file it replaces, makes it durable, and
    // then gives it its name.
    void commit();

    // Removes the file, says which file could not be saved and why (error is
    // an errno value), and ends the run with SAVE_FAILURE.
    [[noreturn]] void fail(int error);
    [[noreturn]] void fail(const std::string& reason);

private:
    void flush();
    void createHidden(mode_t mode);
    void nameUnnamed();
    // Gives the picture a hidden name beside the one asked for, which nobody
    // can guess and the signals that end the run remove, made by make (0, or
    // the errno value it failed with); a name someone else has taken is tried
    // again with another.
    void takeHiddenName(const std::function<int(const std::string&)>& make);
    void keepReplacedAttributes();

    std::string requestedPath;  // as the user named it, for messages
    std::string programName;
    int directory = -1;         // the directory that holds name
    std::string name;           // where the picture ends up
    std::string temporaryName;  // its name in directory until then; empty when it has none
    bool unnamed = false;       // created without a name (O_TMPFILE)
    bool straight = false;      // written straight into name: a device or the like
    bool replacing = false;     // a file is there: the picture takes its place, mode, owner and group
    mode_t replacedMode = 0;
    uid_t replacedOwner = 0;
    gid_t replacedGroup = 0;
    int descriptor = -1;
    std::vector<char> buffer;
    std::size_t used = 0;
};

#endif
