// The program's one random source: a 32-bit linear congruential generator, so
// that a given seed always carves the same maze.
#ifndef RANDOM_SOURCE_H
#define RANDOM_SOURCE_H

#include <cstdint>

// Sets the generator's state; the run sequence seeds it with the calendar time.
void seedRandomSource(std::uint32_t seed);

// The next draw, from 0 to largestDraw.
constexpr int largestDraw = 32767;
int drawRandom();

#endif
