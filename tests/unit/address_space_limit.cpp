#include "address_space_limit.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The bytes mapped by this process now (VmSize of /proc/self/status).
std::size_t mappedBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmSize:", 0) == 0)
            return std::stoull(line.substr(7)) * 1024;
    }
    std::fprintf(stderr, "no VmSize in /proc/self/status\n");
    std::abort();
}

}  // namespace

void capAddressSpace(std::size_t headroom)
{
    const rlim_t cap = mappedBytes() + headroom;
    const rlimit limit{cap, cap};
    if (setrlimit(RLIMIT_AS, &limit) != 0) {
        std::perror("setrlimit");
        std::abort();
    }
}

LimitForChildren::LimitForChildren(int resource, std::size_t limit) : resource(resource)
{
    rlimit current{};
    getrlimit(resource, &current);
    savedSoftLimit = current.rlim_cur;
    current.rlim_cur = limit;
    if (setrlimit(resource, &current) != 0) {
        std::perror("setrlimit");
        std::abort();
    }
}

LimitForChildren::~LimitForChildren()
{
    rlimit current{};
    getrlimit(resource, &current);
    current.rlim_cur = savedSoftLimit;
    setrlimit(resource, &current);
}
