#include "standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

// Written by openClosedStandardDescriptors first thing in main; read afterwards.
bool closedAtStart[3] = {false, false, false};

}  // namespace

void openClosedStandardDescriptors()
{
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        closedAtStart[descriptor] = true;
        // The lowest free number is this one, since those below it are open by now.
        const int nullDevice = open("/dev/null", O_RDWR);
        if (nullDevice >= 0 && nullDevice != descriptor) {
            dup2(nullDevice, descriptor);
            close(nullDevice);
        }
    }
}

bool wasClosedAtStart(int descriptor)
{
    return descriptor >= STDIN_FILENO && descriptor <= STDERR_FILENO && closedAtStart[descriptor];
}

void keepRunningWhenReadersGo()
{
    std::signal(SIGPIPE, SIG_IGN);
}
