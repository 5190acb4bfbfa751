#include "standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

void openClosedStandardDescriptors()
{
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number is this one, since those below it are open by now.
        const int nullDevice = open("/dev/null", O_RDWR);
        if (nullDevice >= 0 && nullDevice != descriptor) {
            dup2(nullDevice, descriptor);
            close(nullDevice);
        }
    }
}
