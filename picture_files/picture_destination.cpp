#include "picture_destination.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace {

// As many links as the kernel follows in one path.
constexpr int mostLinksFollowed = 40;

// The directory path names, relative to from unless it begins with '/', opened
// a component at a time; -1 with errno set when one cannot be opened.
int openDirectory(int from, const std::string& path)
{
    int current = path.compare(0, 1, "/") == 0 ? open("/", O_PATH | O_DIRECTORY | O_CLOEXEC)
                                                : openat(from, ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    std::size_t start = 0;
    while (current >= 0 && start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start) {
            const int next = openat(current, path.substr(start, end - start).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            const int error = errno;
            close(current);
            current = next;
            errno = error;
        }
        start = end + 1;
    }
    return current;
}

// Opens the directory part of path, relative to from, and leaves its last
// component in name ("." when path ends in a slash).
int openDirectoryOf(int from, const std::string& path, std::string& name)
{
    const std::size_t slash = path.find_last_of('/');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        name = ".";
    if (slash == std::string::npos)
        return openat(from, ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    return openDirectory(from, slash == 0 ? "/" : path.substr(0, slash));
}

}  // namespace

int findPictureDestination(const std::string& path, PictureDestination& destination)
{
    destination.directory = openDirectoryOf(AT_FDCWD, path, destination.name);
    for (int linksFollowed = 0; destination.directory >= 0; ++linksFollowed) {
        if (fstatat(destination.directory, destination.name.c_str(), &destination.existing, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(destination.existing.st_mode)) {
            destination.exists = true;
            return 0;
        }
        if (linksFollowed == mostLinksFollowed)
            return ELOOP;
        // A link holds less than PATH_MAX bytes, however deep it leads.
        char target[PATH_MAX];
        const ssize_t length = readlinkat(destination.directory, destination.name.c_str(), target, sizeof target);
        if (length < 0)
            return errno;
        if (static_cast<std::size_t>(length) == sizeof target)
            return ENAMETOOLONG;
        const int linkDirectory = destination.directory;
        destination.directory = openDirectoryOf(linkDirectory, std::string(target, static_cast<std::size_t>(length)),
                                                destination.name);
        const int error = errno;
        close(linkDirectory);
        errno = error;
    }
    return errno;
}
