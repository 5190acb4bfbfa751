// Making large allocations really fail, to reach the program's out-of-memory
// exits without needing a machine that is out of memory.
#ifndef ADDRESS_SPACE_LIMIT_H
#define ADDRESS_SPACE_LIMIT_H

#include <cstddef>

// AddressSanitizer reserves terabytes of address space for its shadow memory,
// so under it a cap on the address space stops everything, not just the one
// allocation a test aims at.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool addressSpaceLimitUsable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool addressSpaceLimitUsable = false;
#else
constexpr bool addressSpaceLimitUsable = true;
#endif
#else
constexpr bool addressSpaceLimitUsable = true;
#endif

// Caps this process's address space at what it maps now plus headroom bytes,
// so that any later allocation bigger than the headroom fails. Meant for
// death-test children: the cap cannot be raised again.
void capAddressSpace(std::size_t headroom);

// While it lives, programs this process starts get limit bytes of a resource
// (RLIMIT_AS as under "ulimit -v", RLIMIT_DATA, RLIMIT_STACK): the soft limit
// is set and then restored.
class LimitForChildren {
public:
    LimitForChildren(int resource, std::size_t limit);
    ~LimitForChildren();

    LimitForChildren(const LimitForChildren&) = delete;
    LimitForChildren& operator=(const LimitForChildren&) = delete;

private:
    int resource;
    unsigned long long savedSoftLimit;
};

#endif
