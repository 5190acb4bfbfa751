#include "standard_streams.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

void readStandardInputFrom(const std::string& path)
{
    // freopen also drops whatever an earlier test left pushed back or buffered.
    ASSERT_NE(std::freopen(path.c_str(), "r", stdin), nullptr) << path;
}

void sendStandardOutputTo(const std::string& path)
{
    std::fflush(stdout);
    const int descriptor = open(path.c_str(), O_WRONLY | O_TRUNC);
    if (descriptor < 0 || dup2(descriptor, STDOUT_FILENO) < 0)
        std::abort();
    close(descriptor);
}
