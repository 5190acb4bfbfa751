// What every measurement of the benchmark shares: its seed and its clock.
#ifndef BENCH_CLOCK_H
#define BENCH_CLOCK_H

#include <chrono>
#include <cstdint>

// A fixed seed, so every run times the same mazes.
constexpr std::uint32_t benchSeed = 1000000000u;

using BenchClock = std::chrono::steady_clock;

inline double millisecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

#endif
