#include "random_source.h"

#include "wide_random_source.h"

// Written by seedRandomSource and drawRandom, on the main thread only (carving).
static std::uint32_t randomState = 0;

void seedRandomSource(std::uint32_t seed)
{
    randomState = seed;
    seedWideRandomSource(seed);
}

int drawRandom()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7fff);
}
