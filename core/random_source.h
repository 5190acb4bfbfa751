// The 15-bit random source of Kruskal's carving: a 32-bit linear congruential
// generator, so that a given seed always carves the same maze.
#ifndef RANDOM_SOURCE_H
#define RANDOM_SOURCE_H

#include <cstdint>

// Sets the generator's state, and the 64-bit source's of the other carvings
// (wide_random_source.h) from the same seed; the run sequence seeds them with
// the calendar time or the seed given.
void seedRandomSource(std::uint32_t seed);

// The next draw, from 0 to largestDraw.
constexpr int largestDraw = 32767;
int drawRandom();

#endif
