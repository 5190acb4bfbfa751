#include "silenced_stdout.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

SilencedStdout::SilencedStdout() : savedStdout(-1)
{
    std::fflush(stdout);
    const int nullDevice = open("/dev/null", O_WRONLY);
    if (nullDevice < 0)
        return;
    savedStdout = dup(STDOUT_FILENO);
    dup2(nullDevice, STDOUT_FILENO);
    close(nullDevice);
}

SilencedStdout::~SilencedStdout()
{
    if (savedStdout < 0)
        return;
    std::fflush(stdout);
    dup2(savedStdout, STDOUT_FILENO);
    close(savedStdout);
}
