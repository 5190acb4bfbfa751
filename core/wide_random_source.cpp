#include "wide_random_source.h"

namespace {

// Written by seedWideRandomSource and the draws, on the thread that carves
// (the main thread) only.
std::uint64_t state[4];
// Bits of the last 64-bit draw not yet handed out by the small draws, lowest first.
std::uint64_t keptBits = 0;
int keptBitCount = 0;

std::uint64_t rotateLeft(std::uint64_t value, int bits)
{
    return (value << bits) | (value >> (64 - bits));
}

std::uint64_t takeBits(int count)
{
    if (keptBitCount < count) {
        keptBits = drawWide();
        keptBitCount = 64;
    }
    const std::uint64_t bits = keptBits & ((std::uint64_t{1} << count) - 1);
    keptBits >>= count;
    keptBitCount -= count;
    return bits;
}

}  // namespace

void seedWideRandomSource(std::uint32_t seed)
{
    // SplitMix64, as its authors advise for filling xoshiro's state: no seed
    // gives the all-zero state.
    std::uint64_t mixer = seed;
    for (std::uint64_t& word : state) {
        mixer += 0x9e3779b97f4a7c15ull;
        std::uint64_t z = mixer;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        word = z ^ (z >> 31);
    }
    keptBits = 0;
    keptBitCount = 0;
}

std::uint64_t drawWide()
{
    const std::uint64_t result = rotateLeft(state[1] * 5, 7) * 9;
    const std::uint64_t shifted = state[1] << 17;
    state[2] ^= state[0];
    state[3] ^= state[1];
    state[1] ^= state[2];
    state[0] ^= state[3];
    state[2] ^= shifted;
    state[3] = rotateLeft(state[3], 45);
    return result;
}

std::uint64_t drawBelow(std::uint64_t bound)
{
    unsigned __int128 product = static_cast<unsigned __int128>(drawWide()) * bound;
    std::uint64_t low = static_cast<std::uint64_t>(product);
    if (low < bound) {
        // 2^64 mod bound: the low products below it would favour some results.
        const std::uint64_t threshold = (0 - bound) % bound;
        while (low < threshold) {
            product = static_cast<unsigned __int128>(drawWide()) * bound;
            low = static_cast<std::uint64_t>(product);
        }
    }
    return static_cast<std::uint64_t>(product >> 64);
}

int drawNeighbourChoice(int choices)
{
    switch (choices) {
    case 1:
        return 0;
    case 2:
        return static_cast<int>(takeBits(1));
    case 3: {
        std::uint64_t pair = takeBits(2);
        while (pair == 3)
            pair = takeBits(2);
        return static_cast<int>(pair);
    }
    default:
        return static_cast<int>(takeBits(2));
    }
}

bool drawCoin()
{
    return takeBits(1) != 0;
}
