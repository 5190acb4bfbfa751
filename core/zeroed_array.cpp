#include "zeroed_array.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t hugePageBytes = std::size_t{2} << 20;
constexpr std::size_t pageBytes = 4096;

}  // namespace

void* allocateZeroedBytes(std::size_t count)
{
    void* memory = std::calloc(count == 0 ? 1 : count, 1);
    // Large mazes touch hundreds of megabytes; in huge pages that costs a few
    // hundred page faults instead of a few hundred thousand. Only advice: the
    // memory is zero-filled and released with free either way.
    if (memory != nullptr && count >= 4 * hugePageBytes) {
        const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(memory);
        const std::uintptr_t alignedStart = (start + pageBytes - 1) & ~(pageBytes - 1);
        const std::uintptr_t alignedEnd = (start + count) & ~(pageBytes - 1);
        if (alignedEnd > alignedStart)
            madvise(reinterpret_cast<void*>(alignedStart), alignedEnd - alignedStart, MADV_HUGEPAGE);
    }
    return memory;
}
