#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fatal_exit.h"

namespace {

constexpr std::size_t bufferBytes = 256 * 1024;

// The temporary file while it is written, for the signal handler; empty otherwise.
char temporaryForSignals[PATH_MAX + 64] = "";
const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGABRT};

// Ctrl-C, or a kill, while the picture is written removes the temporary file
// and then ends the run as the signal would have; so does a library's failed
// assertion.
void onEndingSignal(int number)
{
    if (temporaryForSignals[0] != '\0')
        unlink(temporaryForSignals);
    std::signal(number, SIG_DFL);
    raise(number);
}

void watchEndingSignals()
{
    for (int number : endingSignals) {
        struct sigaction action {};
        action.sa_handler = onEndingSignal;
        sigemptyset(&action.sa_mask);
        struct sigaction previous {};
        // A signal the user's shell ignores (nohup, or a background job's Ctrl-C) stays ignored.
        if (sigaction(number, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            sigaction(number, &action, nullptr);
    }
}

void rememberTemporary(const std::string& path)
{
    if (path.size() < sizeof temporaryForSignals)
        std::memcpy(temporaryForSignals, path.c_str(), path.size() + 1);
}

void forgetTemporary()
{
    temporaryForSignals[0] = '\0';
}

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

OutputFile::OutputFile(const std::string& path, const std::string& programName)
    : requestedPath(path), finalPath(path), programName(programName), buffer(bufferBytes)
{
    // A file size limit (ulimit -f) would otherwise kill the run with SIGXFSZ
    // and leave the temporary file behind; ignored, the write fails instead.
    std::signal(SIGXFSZ, SIG_IGN);

    struct stat target;
    if (stat(path.c_str(), &target) == 0) {
        if (!S_ISREG(target.st_mode)) {
            descriptor = open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (descriptor < 0)
                fail(errno);
            return;
        }
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr)
            fail(errno);
        finalPath = resolved;
    } else if (errno != ENOENT) {
        fail(errno);
    }

    // A hidden name of the same directory, so that the rename stays on one
    // file system; created with the usual permissions, less the umask.
    const std::string stem = directoryOf(finalPath) + "/." + nameOf(finalPath).substr(0, 200) + "." +
                             std::to_string(static_cast<long>(getpid()));
    watchEndingSignals();
    for (int attempt = 0; descriptor < 0; ++attempt) {
        temporaryPath = stem + "-" + std::to_string(attempt);
        descriptor = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && (errno != EEXIST || attempt == 100)) {
            const int error = errno;
            temporaryPath.clear();
            fail(error);
        }
    }
    rememberTemporary(temporaryPath);
}

OutputFile::~OutputFile()
{
    if (descriptor >= 0)
        close(descriptor);
    if (!temporaryPath.empty())
        unlink(temporaryPath.c_str());
    forgetTemporary();
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

void OutputFile::commit()
{
    flush();
    // Durable before it takes the name: after a crash the name holds the old
    // file or the whole new one.
    if (!temporaryPath.empty() && fsync(descriptor) != 0)
        fail(errno);
    const int closing = close(descriptor);
    descriptor = -1;
    if (closing != 0)
        fail(errno);
    if (!temporaryPath.empty()) {
        if (rename(temporaryPath.c_str(), finalPath.c_str()) != 0)
            fail(errno);
        temporaryPath.clear();
        forgetTemporary();
    }
}

void OutputFile::fail(int error)
{
    fail(std::strerror(error));
}

void OutputFile::fail(const std::string& reason)
{
    if (descriptor >= 0)
        close(descriptor);
    descriptor = -1;
    if (!temporaryPath.empty())
        unlink(temporaryPath.c_str());
    temporaryPath.clear();
    forgetTemporary();
    std::fprintf(stderr, "%s: cannot save the maze as '%s': %s\n", programName.c_str(), requestedPath.c_str(),
                 reason.c_str());
    endProcess(SAVE_FAILURE);
}
