#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "fatal_exit.h"
#include "message_quoting.h"
#include "picture_destination.h"
#include "temporary_name.h"

namespace {

constexpr std::size_t bufferBytes = 256 * 1024;
// Hidden names tried before giving up: each is new and random, so a name
// another user planted beside the file is met only by chance, and never twice.
constexpr int namesTried = 100;

// An unnamed file is given its name through /proc/self/fd, or by its
// descriptor alone where the process may (AT_EMPTY_PATH, which needs
// privileges on most kernels); without /proc the hidden name is used instead.
bool unnamedFilesCanBeNamed()
{
    return access("/proc/self/fd", X_OK) == 0;
}

// 0, or the errno value of the failure.
int linkUnnamed(int descriptor, int directory, const std::string& name)
{
    if (linkat(descriptor, "", directory, name.c_str(), AT_EMPTY_PATH) == 0)
        return 0;
    if (errno == EEXIST)
        return EEXIST;
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", descriptor);
    return linkat(AT_FDCWD, procPath, directory, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

}  // namespace

OutputFile::OutputFile(const std::string& path, const std::string& programName)
    : requestedPath(path), programName(programName), buffer(bufferBytes)
{
    // A file size limit (ulimit -f) would otherwise kill the run with SIGXFSZ;
    // ignored, the write fails instead, and the run says why.
    std::signal(SIGXFSZ, SIG_IGN);

    PictureDestination destination;
    const int error = findPictureDestination(path, destination);
    directory = destination.directory;
    name = destination.name;
    if (error != 0)
        fail(error);
    if (destination.exists && !S_ISREG(destination.existing.st_mode)) {
        descriptor = openat(directory, name.c_str(), O_WRONLY | O_CLOEXEC);
        if (descriptor < 0)
            fail(errno);
        straight = true;
        return;
    }
    if (destination.exists) {
        // As > would: a file this user may not write is not replaced either
        // (root may write any, as with >).
        if (faccessat(directory, name.c_str(), W_OK, AT_EACCESS) != 0)
            fail(errno);
        replacing = true;
        replacedMode = destination.existing.st_mode & 07777;
        replacedOwner = destination.existing.st_uid;
        replacedGroup = destination.existing.st_gid;
    }

    // A picture that replaces a file is this user's alone until it takes the
    // file's mode; a new one gets the usual permissions, less the umask.
    const mode_t mode = replacing ? 0600 : 0666;
    watchEndingSignals();
    if (unnamedFilesCanBeNamed()) {
        descriptor = openat(directory, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (descriptor >= 0) {
            unnamed = true;
            return;
        }
        // A file system without unnamed files; a kernel without them opens
        // the directory instead, which cannot be written.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            fail(errno);
    }
    createHidden(mode);
}

void OutputFile::createHidden(mode_t mode)
{
    takeHiddenName([&](const std::string& candidate) {
        descriptor = openat(directory, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        return descriptor < 0 ? errno : 0;
    });
}

void OutputFile::takeHiddenName(const std::function<int(const std::string&)>& make)
{
    for (int attempt = 1;; ++attempt) {
        int error = 0;
        const std::string candidate = unguessableNameBeside(name, error);
        if (error != 0)
            fail(error);
        temporaryName = candidate;
        rememberTemporaryName(directory, temporaryName);
        error = make(temporaryName);
        if (error == 0)
            return;
        forgetTemporaryName();
        temporaryName.clear();
        if (error != EEXIST || attempt == namesTried)
            fail(error);
    }
}

OutputFile::~OutputFile()
{
    if (descriptor >= 0)
        close(descriptor);
    if (!temporaryName.empty())
        unlinkat(directory, temporaryName.c_str(), 0);
    forgetTemporaryName();
    if (directory >= 0)
        close(directory);
}

void OutputFile::write(const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        if (used == buffer.size())
            flush();
        const std::size_t taken = std::min(size, buffer.size() - used);
        std::memcpy(buffer.data() + used, bytes, taken);
        used += taken;
        bytes += taken;
        size -= taken;
    }
}

void OutputFile::flush()
{
    std::size_t written = 0;
    while (written < used) {
        const ssize_t done = ::write(descriptor, buffer.data() + written, used - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            fail(errno);
        if (done == 0)
            fail(ENOSPC);
        written += static_cast<std::size_t>(done);
    }
    used = 0;
}

void OutputFile::keepReplacedAttributes()
{
    // The owner too where this user may give it (root may), else the group
    // where this user belongs to it; the mode last, since a change of owner
    // clears the set-user-ID and set-group-ID bits.
    if (fchown(descriptor, replacedOwner, replacedGroup) != 0 &&
        fchown(descriptor, static_cast<uid_t>(-1), replacedGroup) != 0) {
        // Then the picture keeps this user's group, as a file this user creates does.
    }
    if (fchmod(descriptor, replacedMode) != 0)
        fail(errno);
}

void OutputFile::nameUnnamed()
{
    // Where nothing is there, the picture takes the name asked for at once,
    // and no other name is ever seen.
    if (!replacing) {
        const int error = linkUnnamed(descriptor, directory, name);
        if (error == 0) {
            unnamed = false;
            return;
        }
        if (error != EEXIST)
            fail(error);
    }
    // Otherwise a hidden name, renamed over the file the picture replaces
    // (one link cannot replace another): the moment between the two is the
    // only one in which a name of the picture's own exists.
    takeHiddenName([&](const std::string& candidate) { return linkUnnamed(descriptor, directory, candidate); });
    unnamed = false;
}

void OutputFile::commit()
{
    flush();
    if (!straight) {
        if (replacing)
            keepReplacedAttributes();
        // Durable before it takes the name: after a crash the name holds the
        // old file or the whole new one.
        if (fsync(descriptor) != 0)
            fail(errno);
        if (unnamed)
            nameUnnamed();
    }
    const int closing = close(descriptor);
    descriptor = -1;
    if (closing != 0)
        fail(errno);
    if (!temporaryName.empty()) {
        if (renameat(directory, temporaryName.c_str(), directory, name.c_str()) != 0)
            fail(errno);
        temporaryName.clear();
        forgetTemporaryName();
    }
    if (!straight) {
        // And the name durable too, as far as the directory can be opened to sync it.
        const int syncing = openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (syncing >= 0) {
            fsync(syncing);
            close(syncing);
        }
    }
}

void OutputFile::fail(int error)
{
    fail(std::strerror(error));
}

void OutputFile::fail(const std::string& reason)
{
    // An unnamed file goes with its descriptor.
    if (descriptor >= 0)
        close(descriptor);
    descriptor = -1;
    if (!temporaryName.empty())
        unlinkat(directory, temporaryName.c_str(), 0);
    temporaryName.clear();
    forgetTemporaryName();
    std::fprintf(stderr, "%s: cannot save the maze as %s: %s\n", programName.c_str(), quoted(requestedPath).c_str(),
                 reason.c_str());
    endProcess(SAVE_FAILURE);
}
