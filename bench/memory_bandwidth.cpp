#include "memory_bandwidth.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "bench_clock.h"

namespace {

constexpr std::size_t bufferBytes = std::size_t{1} << 30;
constexpr int repetitions = 3;

// The sum keeps the compiler from dropping the reads.
std::uint64_t readAll(const std::uint64_t* words, std::size_t count)
{
    std::uint64_t sum0 = 0, sum1 = 0, sum2 = 0, sum3 = 0;
    for (std::size_t i = 0; i + 3 < count; i += 4) {
        sum0 += words[i];
        sum1 += words[i + 1];
        sum2 += words[i + 2];
        sum3 += words[i + 3];
    }
    return sum0 + sum1 + sum2 + sum3;
}

// The best of a few passes, in gigabytes a second, of work over halves on two threads or the whole on one.
template <typename Work>
double bestRate(double bytesPerPass, int threads, Work&& work)
{
    double best = 0;
    for (int pass = 0; pass < repetitions; ++pass) {
        const BenchClock::time_point start = BenchClock::now();
        if (threads == 1) {
            work(0, 1);
        } else {
            std::thread second(work, 1, 2);
            work(0, 2);
            second.join();
        }
        best = std::max(best, bytesPerPass / (millisecondsSince(start) * 1e6));
    }
    return best;
}

}  // namespace

int measureMemoryBandwidth()
{
    const std::size_t words = bufferBytes / sizeof(std::uint64_t);
    std::vector<std::uint64_t> source(words, 1);
    std::vector<std::uint64_t> target(words, 2);
    volatile std::uint64_t sink = 0;
    auto read = [&](int part, int parts) {
        const std::size_t begin = words / parts * part;
        sink = sink + readAll(source.data() + begin, words / parts);
    };
    auto write = [&](int part, int parts) {
        const std::size_t begin = words / parts * part;
        std::memset(target.data() + begin, part + 3, words / parts * sizeof(std::uint64_t));
    };
    auto copy = [&](int part, int parts) {
        const std::size_t begin = words / parts * part;
        std::memcpy(target.data() + begin, source.data() + begin, words / parts * sizeof(std::uint64_t));
    };
    const double bytes = static_cast<double>(bufferBytes);
    std::printf("bandwidth read_gbps=%.1f write_gbps=%.1f copy_gbps=%.1f read_two_threads_gbps=%.1f "
                "write_two_threads_gbps=%.1f\n",
                bestRate(bytes, 1, read), bestRate(bytes, 1, write), bestRate(2 * bytes, 1, copy),
                bestRate(bytes, 2, read), bestRate(bytes, 2, write));
    return 0;
}
