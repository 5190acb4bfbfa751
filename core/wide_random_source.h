// The random source of every carving but Kruskal's, and of braiding:
// xoshiro256** (Blackman and Vigna), its state filled by SplitMix64 from the
// run's 32-bit seed. Integer arithmetic alone, so a seed makes the same maze on
// every machine. Kruskal's carving keeps the 15-bit source of random_source.h,
// which this one never touches.
#ifndef WIDE_RANDOM_SOURCE_H
#define WIDE_RANDOM_SOURCE_H

#include <cstdint>

// Sets the state from seed; seedRandomSource does it for both sources.
void seedWideRandomSource(std::uint32_t seed);

// The next 64 bits.
std::uint64_t drawWide();

// A draw from 0 to bound - 1, each as likely (Lemire's multiply and reject);
// bound must be at least 1.
std::uint64_t drawBelow(std::uint64_t bound);

// A draw from 0 to choices - 1 for choices from 1 to 4, taken two bits at a
// time from a kept 64-bit draw (three choices reject one pair in four), since
// the walks and choices of neighbours make billions of them.
int drawNeighbourChoice(int choices);

// One bit: a fair coin.
bool drawCoin();

#endif
